#pragma once

#include <optional>
#include <string>

namespace carrovex
{

// The INI format as this program reads and writes it:
// - "[name]" opens a section; blanks inside the brackets and around the line are ignored.
// - "key=value" sets a key; the key is the text before the first "=", the value the text after it, each
//   with surrounding blanks and tabs removed.
// - Section and key names match without regard to case (ASCII letters).
// - Lines that begin with ";" are comments; lines without "=" and keys before the first section are ignored.
// - Where a section or a key appears twice, the first one counts, for reading and for writing.
// Values cannot hold line breaks, so a value that has one is never written (it would break the file).

std::optional<std::string> findIniValue(const std::string& text, const std::string& section, const std::string& key);

// The text with the key set to the value: the key's line is replaced where it stands, a missing key is
// added after the last entry of its section, a missing section is added at the end. Every other line stays
// as it was, and so do the line endings (CR LF or LF).
std::string withIniValue(
    const std::string& text, const std::string& section, const std::string& key, const std::string& value);

bool isStorableIniValue(const std::string& value);

} // namespace carrovex
