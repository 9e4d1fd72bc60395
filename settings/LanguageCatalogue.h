#pragma once

#include <optional>
#include <string>

namespace carrovex
{

class IniStore;
class OptionsDialog;
struct MainForm;

// The file of the language: in the first language folder that holds it (with its ending in any letter
// case), else in the last (the program's).
std::string languageFile(const MainForm& form, const std::string& language);

// A name that the settings may hold as the language: not empty, without a path separator and without
// "..", so that it can only ever name a file of the language folder.
bool isLanguageName(const std::string& name);

// The language that a file of the language folder holds: the file's name without its ending ".dat" in any
// letter case. Nothing for another file, or for a name that the settings may not hold.
std::optional<std::string> languageOfFile(const std::string& fileName);

// The stored language; "Deutsch" when none is stored or the stored one is no language name.
std::string storedLanguage(const IniStore& ini);

// Makes the stored language the active one: its name and its file.
void useStoredLanguage(MainForm& form);

// Loads t0 to t38 into the main window's texts, gives its controls and tray menu their captions, and the
// platform's own texts the language's code.
void LoadLanguage(MainForm& form);

// Gives the options dialog its title and captions, read from the file at this moment.
void LoadLanguage(OptionsDialog& dialog, const IniStore& ini);

// A caption without its access key marks, as a title shows it.
std::string withoutAccessMarks(std::string caption);

// The About box: the program, what it does, its version and its licence.
std::string aboutText(const IniStore& ini);

} // namespace carrovex
