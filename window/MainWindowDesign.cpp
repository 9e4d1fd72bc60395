#include "window/MainWindowDesign.h"

#include "platform/MainWindow.h"
#include "window/LogPane.h"

#include <utility>

namespace carrovex
{

void applyDesign(MainWindow& window)
{
    window.setCaption("Shuntly/Copy");
    const std::pair<Control, const char*> texts[] = {{Control::Label1, "Source folder"},
        {Control::Label2, "Destination folder"},
        {Control::Label3, "Interval"},
        {Control::Label4, "Log"},
        {Control::cmdFrom, "..."},
        {Control::cmdTo, "..."},
        {Control::Combo1, "Combo1"},
        {Control::Option1_0, "Move files"},
        {Control::Option1_1, "Copy files"},
        {Control::Check2, "Overwrite existing files"},
        {Control::Check1, "Show log"},
        {Control::cmdOpt, "&Einstellungen"},
        {Control::cmdStopStart, "&Start"},
        {Control::cmdQuit, "&Quit"}};
    for (const auto& [control, text] : texts) {
        window.setText(control, text);
    }
    window.setValue(Control::Option1_0, 1);
    window.setValue(Control::Option1_1, 0);
    ShowLogPane(window);
    window.setTimerEnabled(true);
}

} // namespace carrovex
