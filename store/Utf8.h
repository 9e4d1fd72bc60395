#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace carrovex
{

// The code point that starts at position, which moves past it; nothing (and one byte on) when the bytes
// there are not valid UTF-8.
std::optional<char32_t> nextCodePoint(const std::string& text, std::size_t& position);

void appendUtf8(std::string& text, char32_t codePoint);

// The first count code points of valid UTF-8 text.
std::string firstCodePoints(const std::string& text, std::size_t count);

// The text without the blanks and tabs around it.
std::string_view trimmed(std::string_view text);

// Letters folded to small ones for comparing words without regard to case: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic, which covers the languages the program is translated into.
std::string foldCase(const std::string& text);

} // namespace carrovex
