#pragma once

#include "platform/DriveTable.h"

#include <map>
#include <set>
#include <string>

namespace carrovex::testing
{

// Folders mapped to drive texts, and drive texts to their free space.
class FakeDriveTable final : public DriveTable
{
public:
    void setDrive(const std::string& folder, const std::string& drive);
    void setFree(const std::string& drive, std::uint64_t bytes);
    void removeDrive(const std::string& drive);
    void setQueryFails(const std::string& drive);
    void failDriveName(const std::string& folder, const std::string& description);
    const std::string& lastAsked() const;
    int freeSpaceQueries() const;
    // A folder's disk: "disk:" and its drive, mounted at its drive, unless set here.
    void setDisk(const std::string& folder, const std::string& fileSystem, const std::string& mountPoint);

    Result<std::string> driveName(const std::string& path) override;
    DriveSpace freeSpace(const std::string& drive) override;
    Result<DiskIdentity> diskIdentity(const std::string& folder) override;

private:
    std::map<std::string, std::string> m_drives;
    std::map<std::string, std::string> m_failures;
    std::map<std::string, DiskIdentity> m_disks;
    std::map<std::string, std::uint64_t> m_free;
    std::set<std::string> m_failingQueries;
    std::string m_lastAsked;
    int m_freeSpaceQueries = 0;
};

} // namespace carrovex::testing
