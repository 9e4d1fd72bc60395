#include "platform/posix/LeavingSource.h"

#include "platform/posix/FileCopy.h"
#include "platform/posix/FileDescriptor.h"

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
        const std::string name = hidden.substr(leavingPrefix.size());
        if (renameWithoutReplacing(folderFd, hidden, folderFd, name) == 0) {
            restored.push_back(name);
        }
    }
    return restored;
}

} // namespace carrovex::posix
