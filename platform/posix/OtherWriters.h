#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

namespace carrovex::posix
{

// The files that other processes have open for writing, as far as /proc shows them: a process is seen only
// where this one may inspect it (its own user's processes; every process for root with CAP_SYS_PTRACE). Asked
// only where no lease can tell, it looks through /proc once at the first question and answers the following
// ones from that look until it is older than maxAge, so that a batch of many files costs one look, not one
// per file.
class OtherWriters
{
public:
    explicit OtherWriters(std::chrono::milliseconds maxAge = std::chrono::milliseconds::max());

    bool writing(std::uint64_t device, std::uint64_t inode);

private:
    void look();

    std::chrono::milliseconds m_maxAge;
    std::optional<std::chrono::steady_clock::time_point> m_lookedAt;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_files; // device and inode
};

} // namespace carrovex::posix
