#pragma once

#include <cstdint>
#include <string>

namespace carrovex
{

class DriveTable;

// A drive letter in any case, alone or followed by a colon and more ("c", "c:\data"), becomes the letter
// in capitals and a colon; any other drive text (a mount point, a share) is the platform's own name.
std::string normalisedDrive(const std::string& drive);

// Bytes free on the drive: -1 when the text names no usable drive, 0 when the query failed.
std::int64_t driveFreeBytes(const std::string& drive, DriveTable& drives);

// The same, capped at 2147483647 for callers that count in 32 bits.
std::int32_t GetDriveFreeSpace(const std::string& drive, DriveTable& drives);

} // namespace carrovex
