#pragma once

#include "platform/DriveTable.h"

#include <chrono>
#include <string>
#include <vector>

namespace carrovex::posix
{

// Drives are the mount points of the system's file systems ("/", "/mnt/backup"). A change of the mounts
// is seen within the look period.
class PosixDriveTable final : public DriveTable
{
public:
    static constexpr std::chrono::milliseconds lookPeriod {100};

    PosixDriveTable();
    PosixDriveTable(const PosixDriveTable&) = delete;
    PosixDriveTable& operator=(const PosixDriveTable&) = delete;
    ~PosixDriveTable() override;

    Result<std::string> driveName(const std::string& path) override;
    DriveSpace freeSpace(const std::string& drive) override;
    // A block device's file system by its UUID where /dev/disk/by-uuid names it, else by its device
    // number and type ("dev:7:0:ext4"); a share by its type and source ("nfs4:nas:/export"); any other
    // (tmpfs, FUSE) by its device number and type, which a new mount changes.
    Result<DiskIdentity> diskIdentity(const std::string& folder) override;

    // A line of /proc/self/mountinfo, as far as the drives need it.
    struct Mount {
        std::string point; // unescaped
        std::string device; // "major:minor"
        std::string type;
        std::string source; // as escaped in the table, so that it holds no blank
    };

private:
    const std::vector<Mount>& mounts(bool fresh = false);
    const Mount* mountOf(const std::string& fullPath, bool fresh);

    int m_mountInfo = -1;
    bool m_loaded = false;
    std::chrono::steady_clock::time_point m_nextLook;
    std::vector<Mount> m_mounts;
};

} // namespace carrovex::posix
