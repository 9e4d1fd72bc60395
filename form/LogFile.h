#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

class LogFiles;
class TextFiles;

// The log kept on disk, one line of text for each final line of the window's log. At its size limit the
// file becomes "<name>.1" (the older ones move up to "<name>.<kept>", the oldest dropped), so that months
// of runs take a bounded room.
class LogFile
{
public:
    static constexpr std::uint64_t defaultLimit = std::uint64_t {1} << 20;
    static constexpr int defaultKept = 3;

    LogFile(LogFiles& files,
        TextFiles& reader,
        std::string path,
        std::uint64_t limit = defaultLimit,
        int kept = defaultKept);

    const std::string& path() const
    {
        return m_path;
    }

    // Adds the line. A rotation that fails is told, but the line is still added to the full file: a line
    // lost weighs more than a file beyond its limit.
    Status add(const std::string& line);

    // The newest lines, oldest first, from the file and as far as needed from the ones rotated before it;
    // what cannot be read is left out.
    std::vector<std::string> lastLines(std::size_t count);

private:
    Status rotate();
    bool endsWithLineEnd();
    std::string rotated(int number) const;

    LogFiles& m_files;
    TextFiles& m_reader;
    std::string m_path;
    std::uint64_t m_limit;
    int m_kept;
    std::optional<std::uint64_t> m_size; // asked once; then counted, as only this program writes the file
};

} // namespace carrovex
