#include "settings/OptionsDialogController.h"

#include "form/Captions.h"
#include "form/LaterTexts.h"
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

constexpr std::pair<DialogControl, const Switch*> switches[] = {{DialogControl::SaveOnClose, &saveOnClose},
    {DialogControl::AskBeforeSaving, &askBeforeSaving},
    {DialogControl::RunOnStart, &runOnStart},
    {DialogControl::SendToTray, &sendToTray},
    {DialogControl::AnyDestinationDisk, &anyDestinationDisk},
    {DialogControl::RunOnArrival, &runOnArrival},
    {DialogControl::KeepBoth, &keepBoth}};

} // namespace

OptionsDialogController::OptionsDialogController(OptionsDialog& dialog, MainForm& form)
    : m_dialog(dialog)
    , m_form(form)
{
}

void OptionsDialogController::load()
{
    LoadLanguage(m_dialog, m_form.ini);
    FillLanguageList();
    for (const auto& [control, option] : switches) {
        m_dialog.setValue(control, isOn(m_form.ini, *option) ? 1 : 0);
    }
    // Without a tray the switch would do nothing; it keeps its stored state.
    m_dialog.setEnabled(DialogControl::SendToTray, m_form.window.hasTray());
    // The keys go to the first usable control of the focus order.
    const bool asking = m_dialog.value(DialogControl::AskBeforeSaving) != 0;
    m_dialog.setFocus(asking ? DialogControl::AskBeforeSaving : DialogControl::SaveOnClose);
}

void OptionsDialogController::clicked(DialogControl control)
{
    switch (control) {
    case DialogControl::AskBeforeSaving:
        AskBeforeSaving_Click();
        break;
    case DialogControl::About:
        m_dialog.showMessage(
            aboutText(m_form.ini), captionPrefix + withoutAccessMarks(laterText(m_form.ini, LaterText::About)));
        break;
    case DialogControl::Save:
        Save_Click();
        break;
    case DialogControl::Cancel:
        m_dialog.close();
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
            const auto name = languageOfFile(file);
            if (name && std::find(languageNames.begin(), languageNames.end(), *name) == languageNames.end()) {
                m_dialog.addItem(DialogControl::Language, 0, *name);
                languageNames.push_back(*name);
            }
        }
    }
    m_dialog.setText(DialogControl::Language, storedLanguage(m_form.ini));
}

void OptionsDialogController::AskBeforeSaving_Click()
{
    m_dialog.setEnabled(DialogControl::SaveOnClose, m_dialog.value(DialogControl::AskBeforeSaving) == 0);
}

void OptionsDialogController::Save_Click()
{
    const std::string chosen = m_dialog.text(DialogControl::Language);
    bool languageChanged = chosen != storedLanguage(m_form.ini);
    IniValues values;
    for (const auto& [control, option] : switches) {
        values.emplace_back(option->key, std::to_string(m_dialog.value(control)));
    }
    // Nothing chosen (the stored language has no file) reloads the stored language's texts.
    if (languageChanged && !chosen.empty()) {
        languageChanged = std::find(languageNames.begin(), languageNames.end(), chosen) != languageNames.end();
        if (languageChanged) {
            values.emplace_back("Language", chosen);
        }
    }
    const Status saved = m_form.ini.WriteIniValues("Options", values);
    if (!saved.ok()) {
        languageChanged = false;
        m_dialog.showMessage(
            withArguments(laterText(m_form.ini, LaterText::SaveFailed), {m_form.ini.settingsFile, saved.error()}),
            captionPrefix + m_form.texts[36]);
    }
    useStoredLanguage(m_form);
    if (languageChanged) {
        LoadLanguage(m_form);
    }
    SetMessages(m_form, languageChanged);
    languageNames.clear();
    m_dialog.close();
}

void Settings_Click(MainForm& form)
{
    form.window.showOptionsDialog(
        [&form](OptionsDialog& dialog) { return std::make_unique<OptionsDialogController>(dialog, form); });
}

} // namespace carrovex
