#pragma once

#include "platform/LogFiles.h"
#include "platform/TextFiles.h"

#include <map>
#include <set>
#include <string>

namespace carrovex::testing
{

// Text files in memory; a path can be made unreadable or unwritable.
class MemoryTextFiles final : public TextFiles, public LogFiles
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

    Status append(const std::string& path, const std::string& text) override
    {
        if (unwritable.contains(path)) {
            return Status::failure("Permission denied");
        }
        files[path] += text;
        return {};
    }

    Result<std::uint64_t> size(const std::string& path) override
    {
        const auto found = files.find(path);
        return found == files.end() ? std::uint64_t {0} : std::uint64_t {found->second.size()};
    }

    Status rename(const std::string& from, const std::string& to) override
    {
        const auto found = files.find(from);
        if (found == files.end()) {
            return Status::failure("No such file or directory");
        }
        files[to] = found->second;
        files.erase(from);
        return {};
    }
};

} // namespace carrovex::testing
