#include "platform/posix/LeavingSource.h"

#include "platform/NumberedName.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace carrovex::posix
{

namespace
{

constexpr std::string_view leavingPrefix = ".carrovex-leaving-";

} // namespace

std::string leavingName(const std::string& name)
{
    return std::string(leavingPrefix) + name;
}

bool isLeavingName(std::string_view name)
{
    return name.starts_with(leavingPrefix) && name.size() > leavingPrefix.size();
}

std::string giveNameBack(int folderFd, const std::string& hidden, const std::string& name)
{
    // Enough for any folder that people and programs fill; a folder with more is not waited for.
    constexpr int mostNumbers = 10000;
    for (int number = 1; number <= mostNumbers; ++number) {
        const std::string candidate = number == 1 ? name : numberedName(name, number);
        const int error = renameWithoutReplacing(folderFd, hidden, folderFd, candidate);
        if (error == 0) {
            return candidate;
        }
        if (error != EEXIST) {
            break;
        }
    }
    return {};
}

std::vector<std::string> restoreLeftSources(int folderFd, const std::vector<std::string>& hiddenNames)
{
    std::vector<std::string> restored;
    for (const std::string& hidden : hiddenNames) {
        const FileDescriptor file(::openat(folderFd, hidden.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {
        };
        if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        // The program moving it holds its lock until it is gone or back under its name.
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        if (std::string name = giveNameBack(folderFd, hidden, hidden.substr(leavingPrefix.size())); !name.empty()) {
            restored.push_back(std::move(name));
        }
    }
    return restored;
}

} // namespace carrovex::posix
