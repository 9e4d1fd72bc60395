#pragma once

#include "platform/TextFiles.h"

#include <fstream>
#include <iterator>
#include <string>

namespace carrovex::testing
{

// Files of the source tree (the shipped languages) read with the standard library, so that the logic's
// tests need no platform binding. Nothing is written.
class SourceTreeFiles final : public TextFiles
{
public:
    Result<std::optional<std::string>> readAll(const std::string& path) override
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return std::optional<std::string>();
        }
        return std::optional<std::string>(std::string(std::istreambuf_iterator<char>(in), {}));
    }

    Status replaceAll(const std::string&, const std::string&) override
    {
        return Status::failure("The source tree is not written");
    }
};

} // namespace carrovex::testing
