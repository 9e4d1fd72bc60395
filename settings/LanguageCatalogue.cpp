#include "settings/LanguageCatalogue.h"

#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "platform/OptionsDialog.h"
#include "settings/IniStore.h"
#include "window/Captions.h"
#include "window/MainForm.h"

#include <algorithm>
#include <utility>

namespace carrovex
{

std::string languageText(const IniStore& ini, int key)
{
    return ini.ReadLanguageValue("frmMain", "t" + std::to_string(key), "", iniValueSize);
}

std::string languageFolder(const MainForm& form)
{
    return form.languageFolder.empty() ? form.files.joinPath(form.programFolder, "lang") : form.languageFolder;
}

void useStoredLanguage(MainForm& form)
{
    const std::string language = form.ini.ReadIniValue("Options", "Language", "Deutsch", iniValueSize);
    form.ini.sLangFile = form.files.joinPath(languageFolder(form), language + ".dat");
    form.sLanguage = language;
}

void LoadLanguage(MainForm& form)
{
    for (std::size_t key = 0; key < form.sTexts.size(); ++key) {
        form.sTexts[key] = languageText(form.ini, static_cast<int>(key));
    }
    const std::pair<Control, int> captions[] = {{Control::Label1, 0},
        {Control::Label2, 1},
        {Control::Label3, 2},
        {Control::Label4, 3},
        {Control::Option1_0, 6},
        {Control::Option1_1, 7},
        {Control::Check2, 8},
        {Control::Check1, 9},
        {Control::cmdStopStart, 12},
        {Control::cmdQuit, 13},
        {Control::cmdOpt, 38}};
    for (const auto& [control, key] : captions) {
        form.window.setText(control, form.sTexts[static_cast<std::size_t>(key)]);
    }
    form.state.cancelShown = false; // the button now shows the Start text
}

void LoadLanguage(OptionsDialog& dialog, const IniStore& ini)
{
    std::string settings = languageText(ini, 38);
    std::erase(settings, '&'); // the accelerator mark has no place in a title
    dialog.setTitle(captionPrefix + settings);
    const std::pair<DialogControl, int> captions[] = {{DialogControl::Check1, 37},
        {DialogControl::Check2, 39},
        {DialogControl::Check3, 40},
        {DialogControl::cmdCancel, 41},
        {DialogControl::cmdSave, 42},
        {DialogControl::Label1, 43}};
    for (const auto& [control, key] : captions) {
        dialog.setText(control, languageText(ini, key));
    }
}

} // namespace carrovex
