#include "form/LogFile.h"

#include "platform/LogFiles.h"
#include "platform/TextFiles.h"

#include <utility>

namespace carrovex
{

namespace
{

// Appends the lines of the text, without their line ends, to the lines.
void addLinesOf(const std::string& text, std::vector<std::string>& lines)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size(); // the last line of a file that a kill cut short
        }
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
}

} // namespace

LogFile::LogFile(LogFiles& files, TextFiles& reader, std::string path, std::uint64_t limit, int kept)
    : m_files(files)
    , m_reader(reader)
    , m_path(std::move(path))
    , m_limit(limit)
    , m_kept(kept)
{
}

Status LogFile::add(const std::string& line)
{
    std::string text = line + "\n";
    if (!m_size) {
        const Result<std::uint64_t> size = m_files.size(m_path);
        if (!size.ok()) {
            return Status::failure(size.error());
        }
        m_size = size.value();
        if (*m_size > 0 && !endsWithLineEnd()) {
            text.insert(0, "\n"); // the line that a kill cut short stays one line of its own
        }
    }
    Status rotation;
    if (*m_size > 0 && *m_size + text.size() > m_limit) {
        rotation = rotate();
    }
    if (const Status appended = m_files.append(m_path, text); !appended.ok()) {
        m_size.reset(); // a part of the text may have reached the file
        return appended;
    }
    *m_size += text.size();
    return rotation;
}

Status LogFile::rotate()
{
    for (int number = m_kept - 1; number >= 1; --number) {
        // An older file that is not there yet is no failure.
        (void)m_files.rename(rotated(number), rotated(number + 1));
    }
    const Status renamed = m_files.rename(m_path, rotated(1));
    if (renamed.ok()) {
        m_size = 0;
    }
    return renamed;
}

bool LogFile::endsWithLineEnd()
{
    const Result<std::optional<std::string>> content = m_reader.readAll(m_path);
    return !content.ok() || !content.value() || content.value()->empty() || content.value()->ends_with('\n');
}

std::string LogFile::rotated(int number) const
{
    return m_path + "." + std::to_string(number);
}

std::vector<std::string> LogFile::lastLines(std::size_t count)
{
    std::vector<std::string> lines;
    for (int number = 0; number <= m_kept && lines.size() < count; ++number) {
        const Result<std::optional<std::string>> content = m_reader.readAll(number == 0 ? m_path : rotated(number));
        if (content.ok() && content.value()) {
            std::vector<std::string> older;
            addLinesOf(*content.value(), older);
            lines.insert(lines.begin(), older.begin(), older.end());
        }
    }
    const std::size_t drop = lines.size() > count ? lines.size() - count : 0;
    return {lines.begin() + static_cast<std::ptrdiff_t>(drop), lines.end()};
}

} // namespace carrovex
