#pragma once

#include <string>

namespace carrovex
{

class IniStore;
class OptionsDialog;
struct MainForm;

// The file of the language: in the first language folder that holds it, else in the last (the program's).
std::string languageFile(const MainForm& form, const std::string& language);

// Makes the stored language ("Deutsch" when none is stored) the active one: its name and its file.
void useStoredLanguage(MainForm& form);

// Loads t0 to t38 into the main window's texts and gives its controls their captions.
void LoadLanguage(MainForm& form);

// Gives the options dialog its title and captions, read from the file at this moment.
void LoadLanguage(OptionsDialog& dialog, const IniStore& ini);

} // namespace carrovex
