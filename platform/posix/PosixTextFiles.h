#pragma once

#include "platform/LogFiles.h"
#include "platform/TextFiles.h"

namespace carrovex::posix
{

class PosixTextFiles final : public TextFiles, public LogFiles
{
public:
    Result<std::optional<std::string>> readAll(const std::string& path) override;
    Status replaceAll(const std::string& path, const std::string& content) override;

    Status append(const std::string& path, const std::string& text) override;
    Result<std::uint64_t> size(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;
};

} // namespace carrovex::posix
