#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>

namespace carrovex
{

// The few operations a log file that grows line by line and is rotated at a size needs.
class LogFiles
{
public:
    virtual ~LogFiles() = default;

    // Adds the text at the end of the file in one write, creating the file when it is missing; nothing is
    // held open between two calls, so that a kill loses at most the text of the call in hand.
    virtual Status append(const std::string& path, const std::string& text) = 0;

    // The file's size in bytes; 0 when no file exists at the path.
    virtual Result<std::uint64_t> size(const std::string& path) = 0;

    // Gives the file another name, replacing a file of that name; fails when no file exists at the path.
    virtual Status rename(const std::string& from, const std::string& to) = 0;
};

} // namespace carrovex
