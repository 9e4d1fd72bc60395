#include "platform/win32/WideText.h"

namespace carrovex::win32
{

namespace
{

constexpr char32_t replacement = 0xFFFD;

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t code)
{
    const auto byte = [&out](char32_t value) { out += static_cast<char>(value); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0 | (code >> 6));
        byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        byte(0xE0 | (code >> 12));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    } else {
        byte(0xF0 | (code >> 18));
        byte(0x80 | ((code >> 12) & 0x3F));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    }
}

void appendUtf16(std::wstring& out, char32_t code)
{
    if (code < 0x10000) {
        out += static_cast<wchar_t>(code);
        return;
    }
    code -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (code >> 10));
    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
}

// The code point (or lone surrogate) that starts at position, which moves past it; nothing, and one byte
// on, where the bytes are no such sequence. Overlong forms are refused, so that each text has one spelling.
std::optional<char32_t> nextCode(std::string_view text, std::size_t& position)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    int length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++position;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        smallest = 0x10000;
    } else {
        ++position;
        return std::nullopt;
    }
    if (position + static_cast<std::size_t>(length) > text.size()) {
        ++position;
        return std::nullopt;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++position;
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF) {
        ++position;
        return std::nullopt;
    }
    position += static_cast<std::size_t>(length);
    return code;
}

// Converts, with every invalid sequence replaced when replace is set; nothing at the first one otherwise.
std::optional<std::wstring> toUtf16(std::string_view text, bool replace)
{
    std::wstring out;
    out.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::optional<char32_t> code = nextCode(text, position);
        if (!code && !replace) {
            return std::nullopt;
        }
        const char32_t value = code.value_or(replacement);
        // A surrogate pair spelt as two three-byte sequences is no such text: narrow never writes it, so it
        // names no listed file, and its other spelling would.
        if (isHighSurrogate(value) && position + 3 <= text.size()) {
            std::size_t after = position;
            const std::optional<char32_t> low = nextCode(text, after);
            if (low && isLowSurrogate(*low)) {
                if (!replace) {
                    return std::nullopt;
                }
                out += static_cast<wchar_t>(replacement);
                position = after;
                continue;
            }
        }
        appendUtf16(out, value);
    }
    return out;
}

} // namespace

std::string narrow(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(text[i]);
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(static_cast<char16_t>(text[i + 1]))) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<std::wstring> widenExactly(std::string_view text)
{
    return toUtf16(text, false);
}

std::wstring widen(std::string_view text)
{
    return *toUtf16(text, true);
}

} // namespace carrovex::win32
