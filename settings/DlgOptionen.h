#pragma once

#include "platform/OptionsDialog.h"

#include <string>
#include <vector>

namespace carrovex
{

struct MainForm;

// The options dialog's procedures: the language and the three switches of the settings file.
class DlgOptionen final : public OptionsDialogEvents
{
public:
    DlgOptionen(OptionsDialog& dialog, MainForm& form);
    DlgOptionen(const DlgOptionen&) = delete;
    DlgOptionen& operator=(const DlgOptionen&) = delete;

    void load() override;
    void clicked(DialogControl control) override;

private:
    void FillLanguageList();
    void Check2_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    std::string storedLanguage() const;

    OptionsDialog& m_dialog;
    MainForm& m_form;
    std::vector<std::string> sLangs; // the listed names, in listing order
};

// The settings button: shows the options dialog modally.
void cmdOpt_Click(MainForm& form);

} // namespace carrovex
