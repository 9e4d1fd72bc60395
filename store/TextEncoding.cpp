#include "store/TextEncoding.h"

#include "store/Utf8.h"

#include <array>
#include <optional>

namespace carrovex
{

namespace
{

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Code points of the bytes 0x80 to 0x9F; the five bytes Windows leaves unassigned map to the C1 controls
// of the same number, so that every byte reads and writes back unchanged.
constexpr std::array<char32_t, 32> highControls = {0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178};

char32_t fromWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? highControls[byte - 0x80] : byte;
}

std::optional<unsigned char> toWindows1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (std::size_t i = 0; i < highControls.size(); ++i) {
        if (highControls[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

} // namespace

bool isValidUtf8(const std::string& text)
{
    std::size_t position = 0;
    while (position < text.size()) {
        if (!nextCodePoint(text, position)) {
            return false;
        }
    }
    return true;
}

DecodedText decodeFile(const std::string& bytes)
{
    if (bytes.starts_with(byteOrderMark) && isValidUtf8(bytes)) {
        return {bytes.substr(byteOrderMark.size()), FileEncoding::Utf8WithBom};
    }
    if (isValidUtf8(bytes)) {
        return {bytes, FileEncoding::Utf8};
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (const char byte : bytes) {
        appendUtf8(text, fromWindows1252(static_cast<unsigned char>(byte)));
    }
    return {text, FileEncoding::Windows1252};
}

bool fitsWindows1252(const std::string& text)
{
    std::size_t position = 0;
    while (position < text.size()) {
        const std::optional<char32_t> codePoint = nextCodePoint(text, position);
        if (!codePoint || !toWindows1252(*codePoint)) {
            return false;
        }
    }
    return true;
}

std::string encodeFile(const std::string& text, FileEncoding encoding)
{
    switch (encoding) {
    case FileEncoding::Utf8:
        return text;
    case FileEncoding::Utf8WithBom:
        return std::string(byteOrderMark) + text;
    case FileEncoding::Windows1252:
        break;
    }
    std::string bytes;
    bytes.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::optional<char32_t> codePoint = nextCodePoint(text, position);
        const std::optional<unsigned char> byte = codePoint ? toWindows1252(*codePoint) : std::nullopt;
        bytes += static_cast<char>(byte.value_or('?'));
    }
    return bytes;
}

} // namespace carrovex
