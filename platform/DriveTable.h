#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>

namespace carrovex
{

struct DriveSpace {
    enum class State { NoDrive, QueryFailed, Known };
    State state = State::NoDrive;
    std::uint64_t bytes = 0;
};

// Drives as the platform names them: a letter and colon on Windows, a mount point elsewhere.
class DriveTable
{
public:
    virtual ~DriveTable() = default;

    // The drive text of the file system that holds the path; empty when the path names nothing.
    virtual Result<std::string> driveName(const std::string& path) = 0;

    // Bytes available to this user on the drive that the text names.
    virtual DriveSpace freeSpace(const std::string& drive) = 0;
};

} // namespace carrovex
