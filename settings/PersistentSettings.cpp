#include "settings/PersistentSettings.h"

#include "platform/MainWindow.h"
#include "platform/NumberFormat.h"
#include "schedule/IntervalChoices.h"
#include "settings/IniStore.h"
#include "window/LogPane.h"
#include "window/MainForm.h"

namespace carrovex
{

void LoadSettings(MainForm& form)
{
    MainWindow& window = form.window;
    FillIntervals(form);
    window.setText(Control::Text1, readOption(form.ini, "From", ""));
    window.setText(Control::Text2, readOption(form.ini, "To", ""));

    const std::string action = readOption(form.ini, "Action", "Copy");
    if (action == "Copy" || action == "Move") {
        window.setValue(Control::Option1_0, action == "Move" ? 1 : 0);
        window.setValue(Control::Option1_1, action == "Copy" ? 1 : 0);
    }

    // Any value but "1" gets the short layout, which is the one the fixed window size keeps for an
    // unticked "Show log"; the check box itself changes only for "0" and "1".
    const std::string showLog = readOption(form.ini, "ShowLog", "0");
    if (showLog == "1") {
        window.setValue(Control::Check1, 1);
        ShowLogPane(window);
    } else {
        if (showLog == "0") {
            window.setValue(Control::Check1, 0);
        }
        HideLogPane(window);
    }

    const std::string overwrite = readOption(form.ini, "Overwrite", "0");
    if (overwrite == "0" || overwrite == "1") {
        window.setValue(Control::Check2, overwrite == "1" ? 1 : 0);
    }
}

void SaveSettings(MainForm& form)
{
    MainWindow& window = form.window;
    IniStore& ini = form.ini;
    ini.WriteIniValue("Options", "From", window.text(Control::Text1));
    ini.WriteIniValue("Options", "To", window.text(Control::Text2));
    // Stored as whole minutes, which read back in any locale; a text that names no interval leaves the
    // last valid one.
    const std::string interval = withoutUnitWords(window.text(Control::Combo1), form.sTexts);
    const auto minutes = minutesFromText(interval, form.numbers.decimalSeparator()).value_or(form.state.lInterval);
    ini.WriteIniValue("Options", "Interval", std::to_string(minutes));
    ini.WriteIniValue("Options", "ShowLog", window.value(Control::Check1) == 1 ? "1" : "0");
    ini.WriteIniValue("Options", "Overwrite", window.value(Control::Check2) == 1 ? "1" : "0");
    ini.WriteIniValue("Options", "Action", window.value(Control::Option1_0) == 1 ? "Move" : "Copy");
}

} // namespace carrovex
