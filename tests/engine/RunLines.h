#pragma once

#include "tests/fakes/FixedClock.h"

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

template <typename Row> std::string rowName(const ::testing::TestParamInfo<Row>& row)
{
    return row.param.name;
}

} // namespace carrovex::testing
