#include "window/StartupShutdown.h"

#include "form/Captions.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"
#include "settings/LanguageCatalogue.h"
#include "settings/PersistentSettings.h"
#include "store/IniStore.h"

namespace carrovex
{

void Form_Load(MainForm& form, const ProgramFolders& folders, const std::string& commandLine)
{
    WindowState& state = form.state;
    state.loading = true;
    state.elapsedMinutes = 0;
    state.cancelRequested = false;
    form.languageFolders = folders.languages;
    form.ini.settingsFile = form.files.joinPath(folders.settings, "Carrovex.ini");
    useStoredLanguage(form);
    LoadLanguage(form);
    form.window.setCaption(stoppedCaption(form.texts));
    state.busy = false;
    LoadSettings(form);
    CheckFolders(form);
    state.loading = false;
    if (commandLine == "/s" && form.window.isEnabled(Control::StartStop)) {
        StartStop_Click(form);
    }
}

void Quit_Click(MainForm& form)
{
    if (closeRequested(form)) {
        form.window.close();
    }
}

bool closeRequested(MainForm& form)
{
    if (form.state.runInProgress) {
        form.state.cancelRequested = true;
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
        const std::string prompt = form.texts[37] + "?";
        if (form.window.askYesNo(prompt, captionPrefix + form.texts[36])) {
            SaveSettings(form);
        }
    } else if (readOption(form.ini, "Save", "0") == "1") {
        SaveSettings(form);
    }
}

} // namespace carrovex
