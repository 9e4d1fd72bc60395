#pragma once

#include "platform/TextFiles.h"

namespace carrovex::win32
{

// Settings and language files. A file the program creates gets the line ends of Windows (CR LF); an
// existing file keeps its own, as the INI store writes them.
class Win32TextFiles final : public TextFiles
{
public:
    Result<std::optional<std::string>> readAll(const std::string& path) override;
    // Writes a hidden file beside the target, flushes it to the disk and puts it in the target's place in
    // one rename, through a link to the file it points to.
    Status replaceAll(const std::string& path, const std::string& content) override;
};

// The text with every line end that is a lone LF made CR LF.
std::string withWindowsLineEnds(const std::string& text);

} // namespace carrovex::win32
