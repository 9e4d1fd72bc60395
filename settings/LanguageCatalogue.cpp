#include "settings/LanguageCatalogue.h"

#include "form/Captions.h"
#include "form/LaterTexts.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "platform/OptionsDialog.h"
#include "store/IniStore.h"
#include "store/Utf8.h"

#include <algorithm>
#include <utility>

namespace carrovex
{

namespace
{

constexpr const char* defaultLanguage = "Deutsch";
constexpr std::string_view ending = ".dat";

// The language's file in the folder, or nothing where the folder has none.
std::optional<std::string> findLanguageFile(
    const MainForm& form, const std::string& folder, const std::string& language)
{
    std::string file = form.files.joinPath(folder, language + std::string(ending));
    // A file that cannot even be looked at could not be read either: another folder may serve.
    const Result<bool> found = form.files.fileExists(file);
    if (!found.ok()) {
        return std::nullopt;
    }
    if (found.value()) {
        return file;
    }
    // Its ending in other letters ("English.DAT") is the same language.
    if (const auto listing = form.files.listPlainFiles(folder); listing.ok()) {
        for (const std::string& candidate : listing.value()) {
            if (languageOfFile(candidate) == language) {
                return form.files.joinPath(folder, candidate);
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::string languageFile(const MainForm& form, const std::string& language)
{
    for (const std::string& folder : form.languageFolders) {
        if (std::optional<std::string> file = findLanguageFile(form, folder, language)) {
            return *file;
        }
    }
    return form.languageFolders.empty()
        ? std::string()
        : form.files.joinPath(form.languageFolders.back(), language + std::string(ending));
}

bool isLanguageName(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name.find("..") == std::string::npos;
}

std::optional<std::string> languageOfFile(const std::string& fileName)
{
    if (fileName.size() <= ending.size() || foldCase(fileName.substr(fileName.size() - ending.size())) != ending) {
        return std::nullopt;
    }
    std::string name = fileName.substr(0, fileName.size() - ending.size());
    return isLanguageName(name) ? std::optional(std::move(name)) : std::nullopt;
}

std::string storedLanguage(const IniStore& ini)
{
    const std::string stored = readOption(ini, "Language", defaultLanguage);
    return isLanguageName(stored) ? stored : defaultLanguage;
}

void useStoredLanguage(MainForm& form)
{
    form.language = storedLanguage(form.ini);
    form.ini.languageFile = languageFile(form, form.language);
    form.ini.languageFallbackFile.clear();
    if (!form.languageFolders.empty()) {
        // The program's own folder is the last.
        std::optional<std::string> own = findLanguageFile(form, form.languageFolders.back(), form.language);
        if (own && *own != form.ini.languageFile) {
            form.ini.languageFallbackFile = std::move(*own);
        }
    }
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
        {Control::Settings, 38},
        {Control::TrayQuit, 13}};
    for (const auto& [control, key] : captions) {
        form.window.setText(control, form.texts[static_cast<std::size_t>(key)]);
    }
    form.window.setText(Control::TrayShow, laterText(form.ini, LaterText::ShowWindow));
    form.window.setText(Control::OpenLogFile, laterText(form.ini, LaterText::OpenLogFile));
    // Fields and the log are announced by the labels beside them; the "..." buttons by what they do, which
    // their tips show as well.
    const std::pair<Control, std::string> names[] = {{Control::SourceFolder, form.texts[0]},
        {Control::DestinationFolder, form.texts[1]},
        {Control::Interval, form.texts[2]},
        {Control::Log, form.texts[3]},
        {Control::BrowseSource, laterText(form.ini, LaterText::BrowseSourceName)},
        {Control::BrowseDestination, laterText(form.ini, LaterText::BrowseDestinationName)}};
    for (const auto& [control, name] : names) {
        form.window.setAccessibleName(control, withoutAccessMarks(name));
        if (control == Control::BrowseSource || control == Control::BrowseDestination) {
            form.window.setToolTip(control, name);
        }
    }
    form.window.setPlatformLanguage(laterText(form.ini, LaterText::PlatformLanguage));
    form.state.cancelShown = false; // the button now shows the Start text
}

void LoadLanguage(OptionsDialog& dialog, const IniStore& ini)
{
    dialog.setTitle(captionPrefix + withoutAccessMarks(languageText(ini, 38)));
    const std::pair<DialogControl, int> captions[] = {{DialogControl::SaveOnClose, 37},
        {DialogControl::AskBeforeSaving, 39},
        {DialogControl::RunOnStart, 40},
        {DialogControl::Cancel, 41},
        {DialogControl::Save, 42},
        {DialogControl::LanguageLabel, 43}};
    for (const auto& [control, key] : captions) {
        dialog.setText(control, languageText(ini, key));
    }
    dialog.setText(DialogControl::SendToTray, laterText(ini, LaterText::SendToTray));
    dialog.setText(DialogControl::AnyDestinationDisk, laterText(ini, LaterText::AnyDestinationDisk));
    dialog.setText(DialogControl::RunOnArrival, laterText(ini, LaterText::RunOnArrival));
    dialog.setText(DialogControl::KeepBoth, laterText(ini, LaterText::KeepBoth));
    dialog.setText(DialogControl::About, laterText(ini, LaterText::About));
}

std::string withoutAccessMarks(std::string caption)
{
    std::erase(caption, '&');
    return caption;
}

std::string aboutText(const IniStore& ini)
{
    return "Carrovex Lite\n" + languageText(ini, 10) + "\n\n"
        + withArguments(laterText(ini, LaterText::Version), {CARROVEX_VERSION}) + "\n"
        + withArguments(laterText(ini, LaterText::Licence), {CARROVEX_LICENCE});
}

} // namespace carrovex
