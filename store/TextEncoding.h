#pragma once

#include <string>

namespace carrovex
{

// How a settings or language file is stored on disk. Files written for the Windows program use
// Windows-1252; anything that is valid UTF-8 is taken as UTF-8.
enum class FileEncoding { Utf8, Utf8WithBom, Windows1252 };

struct DecodedText {
    std::string text; // UTF-8
    FileEncoding encoding = FileEncoding::Utf8;
};

DecodedText decodeFile(const std::string& bytes);

// The bytes of the text in the encoding; the text must fit it (see fitsWindows1252).
std::string encodeFile(const std::string& text, FileEncoding encoding);

bool fitsWindows1252(const std::string& text);

bool isValidUtf8(const std::string& text);

} // namespace carrovex
