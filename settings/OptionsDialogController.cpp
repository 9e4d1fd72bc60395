#include "settings/OptionsDialogController.h"

#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"

#include <algorithm>
#include <memory>

namespace carrovex
{

namespace
{

// A switch as the dialog shows it: "0" and "1" as they are, anything else the reader's default.
int switchValue(const MainForm& form, const char* key, const char* defaultValue)
{
    const std::string stored = form.ini.ReadIniValue("Options", key, defaultValue, iniValueSize);
    return (stored == "0" || stored == "1" ? stored : std::string(defaultValue)) == "1" ? 1 : 0;
}

std::string withoutDatEndings(std::string name)
{
    for (std::size_t found; (found = name.find(".dat")) != std::string::npos;) {
        name.erase(found, 4);
    }
    return name;
}

} // namespace

OptionsDialogController::OptionsDialogController(OptionsDialog& dialog, MainForm& form)
    : m_dialog(dialog)
    , m_form(form)
{
}

std::string OptionsDialogController::storedLanguage() const
{
    return m_form.ini.ReadIniValue("Options", "Language", "Deutsch", iniValueSize);
}

void OptionsDialogController::load()
{
    LoadLanguage(m_dialog, m_form.ini);
    FillLanguageList();
    m_dialog.setValue(DialogControl::SaveOnClose, switchValue(m_form, "Save", "1"));
    m_dialog.setValue(DialogControl::AskBeforeSaving, switchValue(m_form, "Question", "0"));
    m_dialog.setValue(DialogControl::RunOnStart, switchValue(m_form, "DoActionOnStart", "0"));
}

void OptionsDialogController::clicked(DialogControl control)
{
    switch (control) {
    case DialogControl::AskBeforeSaving:
        AskBeforeSaving_Click();
        break;
    case DialogControl::Save:
        Save_Click();
        break;
    case DialogControl::Cancel:
        Cancel_Click();
        break;
    default:
        break;
    }
}

void OptionsDialogController::FillLanguageList()
{
    languageNames.clear();
    // The program's languages first, so that the user's own come out on top; a name in both folders is
    // offered once (its file is the user's, see languageFile).
    const std::vector<std::string>& folders = m_form.languageFolders;
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const auto listing = m_form.files.listPlainFiles(*folder);
        if (!listing.ok()) {
            continue;
        }
        for (const std::string& file : listing.value()) {
            const std::string name = withoutDatEndings(file);
            if (std::find(languageNames.begin(), languageNames.end(), name) == languageNames.end()) {
                m_dialog.addItem(DialogControl::Language, 0, name);
                languageNames.push_back(name);
            }
        }
    }
    m_dialog.setText(DialogControl::Language, storedLanguage());
}

void OptionsDialogController::AskBeforeSaving_Click()
{
    m_dialog.setEnabled(DialogControl::SaveOnClose, m_dialog.value(DialogControl::AskBeforeSaving) == 0);
}

void OptionsDialogController::Save_Click()
{
    IniStore& ini = m_form.ini;
    const std::string chosen = m_dialog.text(DialogControl::Language);
    bool languageChanged = chosen != storedLanguage();
    ini.WriteIniValue("Options", "Save", std::to_string(m_dialog.value(DialogControl::SaveOnClose)));
    ini.WriteIniValue("Options", "Question", std::to_string(m_dialog.value(DialogControl::AskBeforeSaving)));
    ini.WriteIniValue("Options", "DoActionOnStart", std::to_string(m_dialog.value(DialogControl::RunOnStart)));
    if (languageChanged) {
        if (!chosen.empty()) {
            bool listed = false;
            for (const std::string& name : languageNames) {
                if (name == chosen) {
                    ini.WriteIniValue("Options", "Language", name);
                    listed = true;
                }
            }
            languageChanged = listed;
        }
        if (languageChanged) {
            useStoredLanguage(m_form);
            LoadLanguage(m_form);
        }
    }
    useStoredLanguage(m_form);
    SetMessages(m_form, languageChanged);
    languageNames.clear();
    m_dialog.close();
}

void OptionsDialogController::Cancel_Click()
{
    m_dialog.close();
}

void Settings_Click(MainForm& form)
{
    form.window.showOptionsDialog(
        [&form](OptionsDialog& dialog) { return std::make_unique<OptionsDialogController>(dialog, form); });
}

} // namespace carrovex
