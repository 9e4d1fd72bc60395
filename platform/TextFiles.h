#pragma once

#include "platform/Result.h"

#include <optional>
#include <string>

namespace carrovex
{

// Whole small text files (settings, languages), read and written as bytes.
class TextFiles
{
public:
    virtual ~TextFiles() = default;

    // The content; nothing when no file exists at the path, a failure when one exists but cannot be read.
    virtual Result<std::optional<std::string>> readAll(const std::string& path) = 0;

    // Replaces the whole content so that a crash or a full disk leaves either the old or the new content,
    // never a mix; creates the file when it is missing.
    virtual Status replaceAll(const std::string& path, const std::string& content) = 0;
};

} // namespace carrovex
