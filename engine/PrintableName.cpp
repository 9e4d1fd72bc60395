#include "engine/PrintableName.h"

#include <cstddef>

namespace carrovex
{

namespace
{

// Length of the valid UTF-8 sequence that starts at position, or 0 when the bytes there are not one.
std::size_t utf8SequenceLength(const std::string& text, std::size_t position)
{
    const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(text[position + offset]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        secondHigh = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (position + length > text.size()) {
        return 0;
    }
    if (byte(1) < secondLow || byte(1) > secondHigh) {
        return 0;
    }
    for (std::size_t offset = 2; offset < length; ++offset) {
        if (byte(offset) < 0x80 || byte(offset) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void appendHexEscape(std::string& out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

} // namespace

std::string printableName(const std::string& name)
{
    std::string out;
    out.reserve(name.size());
    std::size_t position = 0;
    while (position < name.size()) {
        const auto byte = static_cast<unsigned char>(name[position]);
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendHexEscape(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (const std::size_t length = utf8SequenceLength(name, position); length > 0) {
            out.append(name, position, length);
            position += length;
            continue;
        } else {
            appendHexEscape(out, byte);
        }
        ++position;
    }
    return out;
}

} // namespace carrovex
