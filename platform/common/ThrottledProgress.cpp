#include "platform/common/ThrottledProgress.h"

namespace carrovex
{

namespace
{

constexpr auto reportPeriod = std::chrono::seconds(1);

} // namespace

ThrottledProgress::ThrottledProgress(const ProgressReport& report, std::int64_t total)
    : m_report(report)
    , m_total(total)
    , m_next(std::chrono::steady_clock::now() + reportPeriod)
{
}

void ThrottledProgress::copied(std::int64_t done)
{
    if (!m_report) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= m_next) {
        m_next = now + reportPeriod;
        m_report(done, m_total);
    }
}

} // namespace carrovex
