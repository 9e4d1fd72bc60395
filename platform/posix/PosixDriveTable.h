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

private:
    const std::vector<std::string>& mountPoints();

    int m_mountInfo = -1;
    bool m_loaded = false;
    std::chrono::steady_clock::time_point m_nextLook;
    std::vector<std::string> m_mountPoints;
};

} // namespace carrovex::posix
