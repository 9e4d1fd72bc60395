#include "window/MainWindowDesign.h"

#include "form/LogPane.h"
#include "platform/MainWindow.h"

#include <utility>

namespace carrovex
{

void applyDesign(MainWindow& window)
{
    window.setCaption("Shuntly/Copy");
    const std::pair<Control, const char*> texts[] = {{Control::SourceLabel, "Source folder"},
        {Control::DestinationLabel, "Destination folder"},
        {Control::IntervalLabel, "Interval"},
        {Control::LogLabel, "Log"},
        {Control::BrowseSource, "..."},
        {Control::BrowseDestination, "..."},
        {Control::Interval, "Combo1"},
        {Control::Move, "Move files"},
        {Control::Copy, "Copy files"},
        {Control::Overwrite, "Overwrite existing files"},
        {Control::ShowLog, "Show log"},
        {Control::Settings, "&Einstellungen"},
        {Control::StartStop, "&Start"},
        {Control::Quit, "&Quit"}};
    for (const auto& [control, text] : texts) {
        window.setText(control, text);
    }
    window.setValue(Control::Move, 1);
    window.setValue(Control::Copy, 0);
    ShowLogPane(window);
    window.setTimerEnabled(true);
}

} // namespace carrovex
