#include "platform/posix/ProgramFolder.h"

#include "platform/posix/PathParts.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace carrovex::posix
{

std::string programFolder(const char* startedAs)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        return folderOf(std::string(target, static_cast<std::size_t>(length)));
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(startedAs, nullptr), &std::free);
    return folderOf(resolved ? resolved.get() : startedAs);
}

} // namespace carrovex::posix
