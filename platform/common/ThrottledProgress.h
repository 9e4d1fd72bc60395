#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <cstdint>

namespace carrovex
{

// Passes a staged copy's growth on to a progress report about once a second, the first time after a
// second: a small file never reaches the report, and each piece of a large one costs one clock reading.
class ThrottledProgress
{
public:
    ThrottledProgress(const ProgressReport& report, std::int64_t total);

    void copied(std::int64_t done);

private:
    const ProgressReport& m_report;
    std::int64_t m_total;
    std::chrono::steady_clock::time_point m_next;
};

} // namespace carrovex
