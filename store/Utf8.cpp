#include "store/Utf8.h"

namespace carrovex
{

std::optional<char32_t> nextCodePoint(const std::string& text, std::size_t& position)
{
    const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(text[position + offset]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        ++position;
        return lead;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    bool valid = length > 0 && position + length <= text.size();
    for (std::size_t offset = 1; valid && offset < length; ++offset) {
        const unsigned char next = byte(offset);
        valid = offset == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (!valid) {
        ++position;
        return std::nullopt;
    }
    position += length;
    return codePoint;
}

void appendUtf8(std::string& text, char32_t codePoint)
{
    const auto put = [&](unsigned value) { text += static_cast<char>(value); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::string firstCodePoints(const std::string& text, std::size_t count)
{
    std::size_t position = 0;
    for (std::size_t taken = 0; taken < count && position < text.size(); ++taken) {
        nextCodePoint(text, position);
    }
    return text.substr(0, position);
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

namespace
{

char32_t foldCodePoint(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        || (c >= 0x410 && c <= 0x42F)) {
        return c + 32;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 80;
    }
    const bool evenPairs = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenPairs && c % 2 == 0) || (oddPairs && c % 2 == 1)) {
        return c + 1;
    }
    return c == 0x178 ? 0xFF : c;
}

} // namespace

std::string foldCase(const std::string& text)
{
    std::string folded;
    folded.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t start = position;
        if (const std::optional<char32_t> codePoint = nextCodePoint(text, position)) {
            appendUtf8(folded, foldCodePoint(*codePoint));
        } else {
            folded.append(text, start, position - start);
        }
    }
    return folded;
}

} // namespace carrovex
