#pragma once

#include "platform/ProgramFolders.h"
#include "platform/Result.h"

#include <optional>
#include <string>

namespace carrovex::posix
{

// The variables that the per-user folders come from.
struct UserEnvironment {
    std::optional<std::string> configHome; // XDG_CONFIG_HOME
    std::optional<std::string> home; // HOME, or the home that the user database gives
    std::optional<std::string> stateHome = std::nullopt; // XDG_STATE_HOME
};

// This process's.
UserEnvironment userEnvironment();

// XDG_CONFIG_HOME/carrovex; HOME/.config/carrovex when XDG_CONFIG_HOME is unset, empty or relative (the XDG
// base directory rules ignore a relative one); empty when there is no home either.
std::string userSettingsFolder(const UserEnvironment& user);

// XDG_STATE_HOME/carrovex, else HOME/.local/state/carrovex, by the same rules.
std::string userStateFolder(const UserEnvironment& user);

// The settings folder is the one given (the console's --dir); else the program's folder when it holds the
// portable layout (a lang folder or a settings file) and the user may write there; else the per-user
// folder. The language folders are the settings folder's lang, then the program's own: lang beside the
// program, else the installed data folder. The log lies beside the settings, except where they are in the
// per-user folder: there it is the user's state, which is no setting.
ProgramFolders findProgramFolders(
    const std::string& programFolder, const std::optional<std::string>& settingsFolder, const UserEnvironment& user);

// Makes the folder with its missing parents, each private to the user (0700) as the XDG rules ask. Fails
// with the system's text, also when the path names something that is not a folder.
Status makeSettingsFolder(const std::string& folder);

} // namespace carrovex::posix
