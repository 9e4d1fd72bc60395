#pragma once

#include "platform/ProgramFolders.h"
#include "platform/Result.h"

#include <functional>
#include <optional>
#include <string>

namespace carrovex::win32
{

// The per-user settings folder: Carrovex in the user's roaming application data (%APPDATA%\Carrovex);
// empty when the system does not tell.
std::string userSettingsFolder();

// Whether this user may make files in the folder: the one test that also sees the folder's access rules.
bool mayWriteIn(const std::string& folder);

// The settings folder is the one given (the console's --dir); else the program's folder when it holds the
// portable layout (a lang folder or a settings file) and mayWrite says the user may write there, as where
// the ZIP was unpacked; else the per-user folder (a program put into Program Files). The language folders
// are the settings folder's lang, then the program's own. The log lies beside the settings.
ProgramFolders findProgramFolders(const std::string& programFolder,
    const std::optional<std::string>& settingsFolder,
    const std::string& userFolder,
    const std::function<bool(const std::string&)>& mayWrite = mayWriteIn);

// Makes the folder with its missing parents. Fails with the system's text, also when the path names
// something that is not a folder.
Status makeSettingsFolder(const std::string& folder);

} // namespace carrovex::win32
