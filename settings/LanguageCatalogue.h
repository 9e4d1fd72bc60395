#pragma once

#include <string>

namespace carrovex
{

class IniStore;
class OptionsDialog;
struct MainForm;

// The folder that holds the language files.
std::string languageFolder(const MainForm& form);

// Makes the stored language ("Deutsch" when none is stored) the active one: its name and its file in the
// language folder.
void useStoredLanguage(MainForm& form);

// Loads t0 to t38 into the main window's texts and gives its controls their captions.
void LoadLanguage(MainForm& form);

// Gives the options dialog its title and captions, read from the file at this moment.
void LoadLanguage(OptionsDialog& dialog, const IniStore& ini);

} // namespace carrovex
