#include "platform/posix/FolderLayout.h"

#include "platform/posix/SystemError.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

std::optional<std::string> variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::optional<std::string>(value) : std::nullopt;
}

bool isAbsolute(const std::optional<std::string>& path)
{
    return path && path->starts_with('/');
}

bool isFolder(const std::string& path)
{
    struct stat info {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path)
{
    struct stat info {
    };
    return ::stat(path.c_str(), &info) == 0;
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// The languages that come with the program.
std::string programLanguages(const std::string& programFolder)
{
    const std::string beside = joined(programFolder, "lang");
    if (isFolder(beside)) {
        return beside;
    }
    // Installed, the program and its data lie in fixed places relative to each other below the prefix.
    return std::filesystem::path(joined(programFolder, CARROVEX_LANGUAGES_FROM_PROGRAM)).lexically_normal();
}

// The layout in which the settings have always lived beside the program. An installed program's folder
// (/usr/bin) holds neither, so not even root writes its settings there.
bool isPortable(const std::string& programFolder)
{
    return isFolder(joined(programFolder, "lang")) || exists(joined(programFolder, "Carrovex.ini"));
}

// The program's folder in the base folder, or in its default below the home; empty without either.
std::string userFolder(
    const std::optional<std::string>& base, const std::optional<std::string>& home, const char* belowHome)
{
    if (isAbsolute(base)) {
        return joined(*base, "carrovex");
    }
    if (isAbsolute(home)) {
        return joined(joined(*home, belowHome), "carrovex");
    }
    return {};
}

} // namespace

UserEnvironment userEnvironment()
{
    UserEnvironment user {variable("XDG_CONFIG_HOME"), variable("HOME"), variable("XDG_STATE_HOME")};
    if (!user.home) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
            user.home = entry->pw_dir;
        }
    }
    return user;
}

std::string userSettingsFolder(const UserEnvironment& user)
{
    return userFolder(user.configHome, user.home, ".config");
}

std::string userStateFolder(const UserEnvironment& user)
{
    return userFolder(user.stateHome, user.home, ".local/state");
}

ProgramFolders findProgramFolders(
    const std::string& programFolder, const std::optional<std::string>& settingsFolder, const UserEnvironment& user)
{
    ProgramFolders folders;
    if (settingsFolder) {
        folders.settings = *settingsFolder;
    } else if (isPortable(programFolder) && ::access(programFolder.c_str(), W_OK) == 0) {
        folders.settings = programFolder;
    } else {
        folders.settings = userSettingsFolder(user);
        folders.log = userStateFolder(user);
        if (folders.settings.empty()) {
            folders.settings = programFolder; // no home to keep them in
        }
    }
    if (folders.log.empty()) {
        folders.log = folders.settings;
    }
    const std::string own = joined(folders.settings, "lang");
    const std::string shipped = programLanguages(programFolder);
    folders.languages = own == shipped ? std::vector {shipped} : std::vector {own, shipped};
    return folders;
}

Status makeSettingsFolder(const std::string& folder)
{
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0) {
            const int error = errno;
            if (!isFolder(part)) { // a folder that is there already is fine, even where nothing may be made
                // A file in place of a parent: the folder cannot be made under it.
                const bool parent = end != std::string::npos;
                return Status::failure(systemErrorText(error == EEXIST && parent ? ENOTDIR : error));
            }
        }
        if (end == std::string::npos) {
            break;
        }
    }
    return {};
}

} // namespace carrovex::posix
