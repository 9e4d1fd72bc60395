#pragma once

#include "tests/TableRows.h"
#include "tests/fakes/FixedClock.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace carrovex::testing
{

using Lines = std::vector<std::string>;

// Log lines as a run writes them: the lines of files carry the time stamp, the closing cancel line does not.
inline Lines stamped(const Lines& lines)
{
    Lines out;
    for (const std::string& line : lines) {
        out.push_back(line.starts_with("t31:") ? line : std::string(stamp) + line);
    }
    return out;
}

// How many of the lines contain the text.
template <class Range> int linesWith(const Range& lines, const std::string& text)
{
    return static_cast<int>(
        std::ranges::count_if(lines, [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

} // namespace carrovex::testing
