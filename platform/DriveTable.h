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

// The file system that holds a folder, as the run remembers the destination's.
struct DiskIdentity {
    // One word without blanks that stays the same while that file system is unmounted and mounted again,
    // and differs for any other: a volume's UUID or GUID, a share's name.
    std::string fileSystem;
    // Where that file system is mounted: the folder, or the nearest folder above it, that is its root.
    std::string mountPoint;
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

    // The file system that holds the folder; fails when the folder cannot be reached.
    virtual Result<DiskIdentity> diskIdentity(const std::string& folder) = 0;
};

} // namespace carrovex
