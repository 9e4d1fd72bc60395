#include "store/IniText.h"

#include "store/Utf8.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace carrovex
{

namespace
{

bool sameName(std::string_view first, std::string_view second)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return first.size() == second.size() && std::equal(first.begin(), first.end(), second.begin(), [&](char a, char b) {
        return lower(static_cast<unsigned char>(a)) == lower(static_cast<unsigned char>(b));
    });
}

enum class LineKind { Other, Section, Entry };

// What one line is, with views into its text.
struct LineView {
    LineKind kind = LineKind::Other;
    std::string_view name; // section or key name
    std::string_view value;
};

LineView classify(std::string_view text)
{
    const std::string_view content = trimmed(text);
    if (content.starts_with('[')) {
        const auto close = content.find(']');
        if (close == std::string_view::npos) {
            return {};
        }
        return {LineKind::Section, trimmed(content.substr(1, close - 1)), {}};
    }
    const auto equals = content.find('=');
    if (content.starts_with(';') || equals == std::string_view::npos || equals == 0) {
        return {};
    }
    return {LineKind::Entry, trimmed(content.substr(0, equals)), trimmed(content.substr(equals + 1))};
}

// Calls visit with each line of the text, without its line ending, until visit returns false.
template <class Visit> void forEachLine(std::string_view text, Visit visit)
{
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        const bool crlf = line.ends_with('\r');
        if (crlf) {
            line.remove_suffix(1);
        }
        if (!visit(line, crlf)) {
            return;
        }
        start = end + 1;
    }
}

struct Line {
    std::string text; // without its line ending
    LineKind kind = LineKind::Other;
    std::string name;
};

Line parseLine(std::string text)
{
    const LineView view = classify(text);
    Line line {std::string(), view.kind, std::string(view.name)};
    line.text = std::move(text);
    return line;
}

struct Document {
    std::vector<Line> lines;
    std::string lineEnding = "\n";
};

Document parse(const std::string& text)
{
    Document document;
    forEachLine(text, [&](std::string_view line, bool crlf) {
        if (crlf) {
            document.lineEnding = "\r\n";
        }
        document.lines.push_back(parseLine(std::string(line)));
        return true;
    });
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
        if (lines[i].kind == LineKind::Section && sameName(lines[i].name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != LineKind::Section) {
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
        if (line.kind == LineKind::Entry && sameName(line.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

// Reads are frequent (every text of the window is one) and look at the file up to the key only, so they
// scan it in place instead of building the document that a write needs.
std::optional<std::string> findIniValue(const std::string& text, const std::string& section, const std::string& key)
{
    std::optional<std::string> value;
    bool inSection = false;
    forEachLine(text, [&](std::string_view line, bool) {
        const LineView view = classify(line);
        if (view.kind == LineKind::Section) {
            if (inSection) {
                return false; // only the first section of that name counts
            }
            inSection = sameName(view.name, section);
        } else if (inSection && view.kind == LineKind::Entry && sameName(view.name, key)) {
            value.emplace(view.value);
            return false;
        }
        return true;
    });
    return value;
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
