#include "window/StartupShutdown.h"

#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"
#include "settings/IniStore.h"
#include "settings/LanguageCatalogue.h"
#include "settings/PersistentSettings.h"
#include "window/Captions.h"
#include "window/MainForm.h"

namespace carrovex
{

void Form_Load(MainForm& form, const std::string& programFolder, const std::string& commandLine)
{
    WindowState& state = form.state;
    state.bLoading = true;
    state.iElapsed = 0;
    state.bCancel = false;
    form.programFolder = programFolder;
    form.ini.sIniFile = form.files.joinPath(programFolder, "Carrovex.ini");
    useStoredLanguage(form);
    LoadLanguage(form);
    form.window.setCaption(stoppedCaption(form.sTexts));
    state.bBusy = false;
    LoadSettings(form);
    CheckFolders(form);
    state.bLoading = false;
    if (commandLine == "/s" && form.window.isEnabled(Control::cmdStopStart)) {
        cmdStopStart_Click(form);
    }
}

void cmdQuit_Click(MainForm& form)
{
    if (closeRequested(form)) {
        form.window.close();
    }
}

bool closeRequested(MainForm& form)
{
    if (form.state.runInProgress) {
        form.state.bCancel = true;
        form.state.closeRequested = true;
        return false;
    }
    Form_Unload(form);
    return true;
}

void finishClosing(MainForm& form)
{
    Form_Unload(form);
    form.window.close();
}

void Form_Unload(MainForm& form)
{
    if (readOption(form.ini, "Question", "0") == "1") {
        const std::string prompt = form.sTexts[37] + "?";
        if (form.window.askYesNo(prompt, captionPrefix + form.sTexts[36])) {
            SaveSettings(form);
        }
    } else if (readOption(form.ini, "Save", "0") == "1") {
        SaveSettings(form);
    }
}

} // namespace carrovex
