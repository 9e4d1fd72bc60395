#pragma once

#include "platform/TextFiles.h"

#include <map>
#include <set>
#include <string>

namespace carrovex::testing
{

// Text files in memory; a path can be made unreadable or unwritable.
class MemoryTextFiles final : public TextFiles
{
public:
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::set<std::string> unwritable;
    int writes = 0;

    Result<std::optional<std::string>> readAll(const std::string& path) override
    {
        if (unreadable.contains(path)) {
            return Result<std::optional<std::string>>::failure("Permission denied");
        }
        const auto found = files.find(path);
        return found == files.end() ? std::optional<std::string>() : std::optional<std::string>(found->second);
    }

    Status replaceAll(const std::string& path, const std::string& content) override
    {
        if (unwritable.contains(path)) {
            return Status::failure("Permission denied");
        }
        ++writes;
        files[path] = content;
        return {};
    }
};

} // namespace carrovex::testing
