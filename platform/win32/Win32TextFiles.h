#pragma once

#include "platform/LogFiles.h"
#include "platform/TextFiles.h"

namespace carrovex::win32
{

// Settings and language files. A file the program creates gets the line ends of Windows (CR LF); an
// existing file keeps its own, as the INI store writes them. A log file gets the lines as they come.
class Win32TextFiles final : public TextFiles, public LogFiles
{
public:
    Result<std::optional<std::string>> readAll(const std::string& path) override;
    // Writes a hidden file beside the target, flushes it to the disk and puts it in the target's place in
    // one rename, through a link to the file it points to.
    Status replaceAll(const std::string& path, const std::string& content) override;

    Status append(const std::string& path, const std::string& text) override;
    Result<std::uint64_t> size(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;
};

// The text with every line end that is a lone LF made CR LF.
std::string withWindowsLineEnds(const std::string& text);

} // namespace carrovex::win32
