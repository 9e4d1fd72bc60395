#include "store/IniText.h"

#include "store/Utf8.h"

#include <algorithm>
#include <vector>

namespace carrovex
{

namespace
{

bool sameName(const std::string& first, const std::string& second)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return first.size() == second.size() && std::equal(first.begin(), first.end(), second.begin(), [&](char a, char b) {
        return lower(static_cast<unsigned char>(a)) == lower(static_cast<unsigned char>(b));
    });
}

struct Line {
    std::string text; // without its line ending
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string name; // section or key name
    std::string value;
};

Line parseLine(std::string text)
{
    Line line;
    line.text = std::move(text);
    const std::string content = trimmed(line.text);
    if (content.starts_with("[")) {
        const auto close = content.find(']');
        if (close != std::string::npos) {
            line.kind = Line::Kind::Section;
            line.name = trimmed(content.substr(1, close - 1));
        }
        return line;
    }
    const auto equals = content.find('=');
    if (content.starts_with(";") || equals == std::string::npos || equals == 0) {
        return line;
    }
    line.kind = Line::Kind::Entry;
    line.name = trimmed(content.substr(0, equals));
    line.value = trimmed(content.substr(equals + 1));
    return line;
}

struct Document {
    std::vector<Line> lines;
    std::string lineEnding = "\n";
};

Document parse(const std::string& text)
{
    Document document;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
            document.lineEnding = "\r\n";
        }
        document.lines.push_back(parseLine(std::move(line)));
        start = end + 1;
    }
    return document;
}

// The index of the first header of the section, and the end of that section (the next header).
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionSpan> findSection(const Document& document, const std::string& section)
{
    const auto& lines = document.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Kind::Section && sameName(lines[i].name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != Line::Kind::Section) {
                ++end;
            }
            return SectionSpan {i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> findEntry(const Document& document, const SectionSpan& span, const std::string& key)
{
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const Line& line = document.lines[i];
        if (line.kind == Line::Kind::Entry && sameName(line.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> findIniValue(const std::string& text, const std::string& section, const std::string& key)
{
    const Document document = parse(text);
    const std::optional<SectionSpan> span = findSection(document, section);
    if (!span) {
        return std::nullopt;
    }
    const std::optional<std::size_t> entry = findEntry(document, *span, key);
    if (!entry) {
        return std::nullopt;
    }
    return document.lines[*entry].value;
}

bool isStorableIniValue(const std::string& value)
{
    return value.find_first_of("\r\n") == std::string::npos;
}

std::string withIniValue(
    const std::string& text, const std::string& section, const std::string& key, const std::string& value)
{
    Document document = parse(text);
    auto& lines = document.lines;
    const Line entry = parseLine(key + "=" + value);
    if (const std::optional<SectionSpan> span = findSection(document, section)) {
        if (const std::optional<std::size_t> found = findEntry(document, *span, key)) {
            lines[*found] = entry;
        } else {
            std::size_t after = span->end;
            while (after > span->header + 1 && trimmed(lines[after - 1].text).empty()) {
                --after;
            }
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), entry);
        }
    } else {
        lines.push_back(parseLine("[" + section + "]"));
        lines.push_back(entry);
    }
    std::string out;
    for (const Line& line : lines) {
        out += line.text + document.lineEnding;
    }
    return out;
}

} // namespace carrovex
