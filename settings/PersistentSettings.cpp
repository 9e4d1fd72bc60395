#include "settings/PersistentSettings.h"

#include "form/LogPane.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"
#include "platform/NumberFormat.h"
#include "schedule/IntervalChoices.h"
#include "store/IniStore.h"

namespace carrovex
{

void LoadSettings(MainForm& form)
{
    MainWindow& window = form.window;
    FillIntervals(form);
    window.setText(Control::SourceFolder, readFolderOption(form.ini, "From"));
    window.setText(Control::DestinationFolder, readFolderOption(form.ini, "To"));

    const std::string action = readOption(form.ini, "Action", "Copy");
    if (action == "Copy" || action == "Move") {
        window.setValue(Control::Move, action == "Move" ? 1 : 0);
        window.setValue(Control::Copy, action == "Copy" ? 1 : 0);
    }

    // Any value but "1" gets the short layout, which is the one the fixed window size keeps for an
    // unticked "Show log"; the check box itself changes only for "0" and "1".
    const std::string showLog = readOption(form.ini, "ShowLog", "0");
    if (showLog == "1") {
        window.setValue(Control::ShowLog, 1);
        ShowLogPane(window);
    } else {
        if (showLog == "0") {
            window.setValue(Control::ShowLog, 0);
        }
        HideLogPane(window);
    }

    const std::string overwrite = readOption(form.ini, "Overwrite", "0");
    if (overwrite == "0" || overwrite == "1") {
        window.setValue(Control::Overwrite, overwrite == "1" ? 1 : 0);
    }
}

Status SaveSettings(MainForm& form)
{
    const MainWindow& window = form.window;
    // Stored as whole minutes, which read back in any locale; a text that names no interval leaves the
    // last valid one.
    const std::string interval = withoutUnitWords(window.text(Control::Interval), form.texts);
    const auto minutes
        = minutesFromText(interval, form.numbers.decimalSeparator()).value_or(form.state.intervalMinutes);
    // One replacement of the file: the folders are never stored one without the other.
    return form.ini.WriteIniValues("Options",
        {{"From", window.text(Control::SourceFolder)},
            {"To", window.text(Control::DestinationFolder)},
            {"Interval", std::to_string(minutes)},
            {"ShowLog", window.value(Control::ShowLog) == 1 ? "1" : "0"},
            {"Overwrite", window.value(Control::Overwrite) == 1 ? "1" : "0"},
            {"Action", window.value(Control::Move) == 1 ? "Move" : "Copy"}});
}

} // namespace carrovex
