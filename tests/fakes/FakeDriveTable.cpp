#include "tests/fakes/FakeDriveTable.h"

namespace carrovex::testing
{

void FakeDriveTable::setDrive(const std::string& folder, const std::string& drive)
{
    m_drives[folder] = drive;
}

void FakeDriveTable::setFree(const std::string& drive, std::uint64_t bytes)
{
    m_free[drive] = bytes;
}

void FakeDriveTable::removeDrive(const std::string& drive)
{
    m_free.erase(drive);
}

void FakeDriveTable::setQueryFails(const std::string& drive)
{
    m_failingQueries.insert(drive);
}

void FakeDriveTable::failDriveName(const std::string& folder, const std::string& description)
{
    m_failures[folder] = description;
}

const std::string& FakeDriveTable::lastAsked() const
{
    return m_lastAsked;
}

void FakeDriveTable::setDisk(const std::string& folder, const std::string& fileSystem, const std::string& mountPoint)
{
    m_disks[folder] = {fileSystem, mountPoint};
}

Result<DiskIdentity> FakeDriveTable::diskIdentity(const std::string& folder)
{
    if (const auto disk = m_disks.find(folder); disk != m_disks.end()) {
        return disk->second;
    }
    const Result<std::string> drive = driveName(folder);
    if (!drive.ok()) {
        return Result<DiskIdentity>::failure(drive.error());
    }
    return DiskIdentity {"disk:" + drive.value(), drive.value()};
}

Result<std::string> FakeDriveTable::driveName(const std::string& path)
{
    if (const auto failure = m_failures.find(path); failure != m_failures.end()) {
        return Result<std::string>::failure(failure->second);
    }
    const auto found = m_drives.find(path);
    return found == m_drives.end() ? std::string() : found->second;
}

int FakeDriveTable::freeSpaceQueries() const
{
    return m_freeSpaceQueries;
}

DriveSpace FakeDriveTable::freeSpace(const std::string& drive)
{
    m_lastAsked = drive;
    ++m_freeSpaceQueries;
    if (m_failingQueries.contains(drive)) {
        return {DriveSpace::State::QueryFailed, 0};
    }
    const auto found = m_free.find(drive);
    if (found == m_free.end()) {
        return {DriveSpace::State::NoDrive, 0};
    }
    return {DriveSpace::State::Known, found->second};
}

} // namespace carrovex::testing
