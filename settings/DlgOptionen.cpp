#include "settings/DlgOptionen.h"

#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"
#include "settings/IniStore.h"
#include "settings/LanguageCatalogue.h"
#include "window/MainForm.h"

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

DlgOptionen::DlgOptionen(OptionsDialog& dialog, MainForm& form)
    : m_dialog(dialog)
    , m_form(form)
{
}

std::string DlgOptionen::storedLanguage() const
{
    return m_form.ini.ReadIniValue("Options", "Language", "Deutsch", iniValueSize);
}

void DlgOptionen::load()
{
    LoadLanguage(m_dialog, m_form.ini);
    FillLanguageList();
    m_dialog.setValue(DialogControl::Check1, switchValue(m_form, "Save", "1"));
    m_dialog.setValue(DialogControl::Check2, switchValue(m_form, "Question", "0"));
    m_dialog.setValue(DialogControl::Check3, switchValue(m_form, "DoActionOnStart", "0"));
}

void DlgOptionen::clicked(DialogControl control)
{
    switch (control) {
    case DialogControl::Check2:
        Check2_Click();
        break;
    case DialogControl::cmdSave:
        cmdSave_Click();
        break;
    case DialogControl::cmdCancel:
        cmdCancel_Click();
        break;
    default:
        break;
    }
}

void DlgOptionen::FillLanguageList()
{
    sLangs.clear();
    const auto listing = m_form.files.listPlainFiles(languageFolder(m_form));
    if (listing.ok()) {
        for (const std::string& file : listing.value()) {
            const std::string name = withoutDatEndings(file);
            m_dialog.addItem(DialogControl::Combo1, 0, name);
            sLangs.push_back(name);
        }
    }
    m_dialog.setText(DialogControl::Combo1, storedLanguage());
}

void DlgOptionen::Check2_Click()
{
    m_dialog.setEnabled(DialogControl::Check1, m_dialog.value(DialogControl::Check2) == 0);
}

void DlgOptionen::cmdSave_Click()
{
    IniStore& ini = m_form.ini;
    const std::string chosen = m_dialog.text(DialogControl::Combo1);
    bool bLangChanged = chosen != storedLanguage();
    ini.WriteIniValue("Options", "Save", std::to_string(m_dialog.value(DialogControl::Check1)));
    ini.WriteIniValue("Options", "Question", std::to_string(m_dialog.value(DialogControl::Check2)));
    ini.WriteIniValue("Options", "DoActionOnStart", std::to_string(m_dialog.value(DialogControl::Check3)));
    if (bLangChanged) {
        if (!chosen.empty()) {
            bool listed = false;
            for (const std::string& name : sLangs) {
                if (name == chosen) {
                    ini.WriteIniValue("Options", "Language", name);
                    listed = true;
                }
            }
            bLangChanged = listed;
        }
        if (bLangChanged) {
            useStoredLanguage(m_form);
            LoadLanguage(m_form);
        }
    }
    useStoredLanguage(m_form);
    SetMessages(m_form, bLangChanged);
    sLangs.clear();
    m_dialog.close();
}

void DlgOptionen::cmdCancel_Click()
{
    m_dialog.close();
}

void cmdOpt_Click(MainForm& form)
{
    form.window.showOptionsDialog(
        [&form](OptionsDialog& dialog) { return std::make_unique<DlgOptionen>(dialog, form); });
}

} // namespace carrovex
