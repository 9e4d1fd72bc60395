#pragma once

#include "platform/TextFiles.h"

namespace carrovex::posix
{

class PosixTextFiles final : public TextFiles
{
public:
    Result<std::optional<std::string>> readAll(const std::string& path) override;
    Status replaceAll(const std::string& path, const std::string& content) override;
};

} // namespace carrovex::posix
