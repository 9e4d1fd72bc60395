#pragma once

#include "platform/OptionsDialog.h"

#include <string>
#include <vector>

namespace carrovex
{

struct MainForm;

// The options dialog's procedures: the language and the five switches of the settings file, written in
// one replacement of the file, and the About box.
class OptionsDialogController final : public OptionsDialogEvents
{
public:
    OptionsDialogController(OptionsDialog& dialog, MainForm& form);
    OptionsDialogController(const OptionsDialogController&) = delete;
    OptionsDialogController& operator=(const OptionsDialogController&) = delete;

    void load() override;
    void clicked(DialogControl control) override;

private:
    void FillLanguageList();
    void AskBeforeSaving_Click();
    void Save_Click();

    OptionsDialog& m_dialog;
    MainForm& m_form;
    std::vector<std::string> languageNames; // the listed names, in listing order
};

// The settings button: shows the options dialog, modal to the main window.
void Settings_Click(MainForm& form);

} // namespace carrovex
