#pragma once

#include "platform/DriveTable.h"

namespace carrovex::win32
{

// Drives as Windows names them: "C:" for a path on a drive letter, in capitals; the volume's own path
// ("\\?\Volume{...}\") for a folder where another volume is mounted; "\\SERVER\SHARE\" for a network path.
// A name that begins with a backslash keeps the logic from cutting it to a letter and a colon.
class Win32DriveTable final : public DriveTable
{
public:
    Result<std::string> driveName(const std::string& path) override;
    // The bytes available to this user (quotas included); no drive when the name is no drive of this
    // machine or its medium is missing, and no dialog asks for one.
    DriveSpace freeSpace(const std::string& drive) override;
    // The volume by its GUID path ("volume:\\?\Volume{...}\"), or, where it has none (a share), by its
    // serial number ("serial:1A2B3C4D"); mounted at the root of its volume path ("C:\", "C:\mnt\usb\",
    // "\\server\share\").
    Result<DiskIdentity> diskIdentity(const std::string& folder) override;
};

// The drive part of a full path by its spelling alone: "C:" for "c:\x", "\\SERVER\SHARE\" for
// "\\server\share\x" or "\\?\UNC\server\share\x", empty for any other path.
std::wstring drivePartOf(const std::wstring& fullPath);

} // namespace carrovex::win32
