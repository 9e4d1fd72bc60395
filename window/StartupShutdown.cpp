#include "window/StartupShutdown.h"

#include "form/Captions.h"
#include "form/LaterTexts.h"
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
    state.startWhenShown = commandLine == "/s";
}

void Form_Shown(MainForm& form)
{
    if (form.state.startWhenShown && form.window.isEnabled(Control::StartStop)) {
        form.state.startWhenShown = false;
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

bool sessionEnding(MainForm& form)
{
    form.state.sessionEnding = true;
    Form_Unload(form);
    return closeRequested(form);
}

void finishClosing(MainForm& form)
{
    Form_Unload(form);
    form.window.close();
}

void Form_Unload(MainForm& form)
{
    if (form.state.unloaded) {
        return;
    }
    form.state.unloaded = true;
    bool save = isOn(form.ini, saveOnClose);
    if (isOn(form.ini, askBeforeSaving) && !form.state.sessionEnding) {
        save = form.window.askYesNo(form.texts[37] + "?", captionPrefix + form.texts[36]);
    }
    if (!save) {
        return;
    }
    const Status saved = SaveSettings(form);
    form.state.saveFailed = !saved.ok();
    if (!saved.ok()) {
        const std::string message = laterText(form.ini, LaterText::SaveFailed);
        form.window.showMessage(
            withArguments(message, {form.ini.settingsFile, saved.error()}), captionPrefix + form.texts[36]);
    }
}

} // namespace carrovex
