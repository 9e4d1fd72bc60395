#include "settings/LanguageCatalogue.h"

#include "form/Captions.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "platform/OptionsDialog.h"
#include "store/IniStore.h"

#include <algorithm>
#include <utility>

namespace carrovex
{

std::string languageFile(const MainForm& form, const std::string& language)
{
    std::string file;
    for (const std::string& folder : form.languageFolders) {
        file = form.files.joinPath(folder, language + ".dat");
        // A file that cannot even be looked at could not be read either: the next folder may serve.
        if (const Result<bool> found = form.files.fileExists(file); found.ok() && found.value()) {
            break;
        }
    }
    return file;
}

void useStoredLanguage(MainForm& form)
{
    const std::string language = form.ini.ReadIniValue("Options", "Language", "Deutsch", iniValueSize);
    form.ini.languageFile = languageFile(form, language);
    form.language = language;
}

void LoadLanguage(MainForm& form)
{
    for (std::size_t key = 0; key < form.texts.size(); ++key) {
        form.texts[key] = languageText(form.ini, static_cast<int>(key));
    }
    const std::pair<Control, int> captions[] = {{Control::SourceLabel, 0},
        {Control::DestinationLabel, 1},
        {Control::IntervalLabel, 2},
        {Control::LogLabel, 3},
        {Control::Move, 6},
        {Control::Copy, 7},
        {Control::Overwrite, 8},
        {Control::ShowLog, 9},
        {Control::StartStop, 12},
        {Control::Quit, 13},
        {Control::Settings, 38}};
    for (const auto& [control, key] : captions) {
        form.window.setText(control, form.texts[static_cast<std::size_t>(key)]);
    }
    form.state.cancelShown = false; // the button now shows the Start text
}

void LoadLanguage(OptionsDialog& dialog, const IniStore& ini)
{
    std::string settings = languageText(ini, 38);
    std::erase(settings, '&'); // the accelerator mark has no place in a title
    dialog.setTitle(captionPrefix + settings);
    const std::pair<DialogControl, int> captions[] = {{DialogControl::SaveOnClose, 37},
        {DialogControl::AskBeforeSaving, 39},
        {DialogControl::RunOnStart, 40},
        {DialogControl::Cancel, 41},
        {DialogControl::Save, 42},
        {DialogControl::LanguageLabel, 43}};
    for (const auto& [control, key] : captions) {
        dialog.setText(control, languageText(ini, key));
    }
}

} // namespace carrovex
