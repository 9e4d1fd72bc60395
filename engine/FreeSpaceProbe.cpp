#include "engine/FreeSpaceProbe.h"

#include "platform/DriveTable.h"

#include <algorithm>
#include <limits>

namespace carrovex
{

namespace
{

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char toUpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string normalisedDrive(const std::string& drive)
{
    const bool letterForm = !drive.empty() && isAsciiLetter(drive[0]) && (drive.size() == 1 || drive[1] == ':');
    if (!letterForm) {
        return drive;
    }
    return std::string(1, toUpperAscii(drive[0])) + ":";
}

std::int64_t driveFreeBytes(const std::string& drive, DriveTable& drives)
{
    const DriveSpace space = drives.freeSpace(normalisedDrive(drive));
    switch (space.state) {
    case DriveSpace::State::NoDrive:
        return -1;
    case DriveSpace::State::QueryFailed:
        return 0;
    case DriveSpace::State::Known:
        break;
    }
    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(space.bytes, largest));
}

std::int32_t GetDriveFreeSpace(const std::string& drive, DriveTable& drives)
{
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(driveFreeBytes(drive, drives), largest));
}

} // namespace carrovex
