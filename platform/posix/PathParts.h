#pragma once

#include <string>

namespace carrovex::posix
{

// The folder part of a path as the system calls want it: "." for a bare name, "/" for a file at the root.
inline std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

inline std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace carrovex::posix
