#include "platform/win32/Win32DriveTable.h"

#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>
#include <windows.h>

namespace carrovex::win32
{

namespace
{

bool isLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring upperCase(std::wstring text)
{
    if (!text.empty()) {
        ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

std::wstring withoutLongPrefix(const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\\\" + path.substr(8);
    }
    if (path.starts_with(L"\\\\?\\") && path.size() >= 6 && isLetter(path[4]) && path[5] == L':') {
        return path.substr(4);
    }
    return path;
}

Result<std::wstring> fullPathOf(const std::wstring& path)
{
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return Result<std::wstring>::failure(lastErrorText());
        }
        if (length < full.size()) {
            return std::wstring(full.data(), length);
        }
        full.resize(length);
    }
}

// The root of the volume that holds the path, with its closing backslash, which Wine leaves off for
// mounted folders; nothing when the system cannot tell.
std::optional<std::wstring> volumePathOf(const std::wstring& path)
{
    std::vector<wchar_t> volume(path.size() + 2);
    if (!::GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size()))) {
        return std::nullopt;
    }
    std::wstring root = volume.data();
    if (!root.empty() && root.back() != L'\\') {
        root += L'\\';
    }
    return root;
}

// A folder where another volume is mounted is named by that volume, which also works where no drive
// letter leads to it; failing that, by the folder itself in the long form.
std::wstring mountedVolumeName(const std::wstring& mountFolder)
{
    wchar_t volume[64] = L"";
    if (::GetVolumeNameForVolumeMountPointW(mountFolder.c_str(), volume, std::size(volume))) {
        return volume;
    }
    return L"\\\\?\\" + mountFolder;
}

bool isNoDrive(DWORD error)
{
    switch (error) {
    case ERROR_NOT_READY:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_UNRECOGNIZED_VOLUME:
        return true;
    default:
        return false;
    }
}

} // namespace

std::wstring drivePartOf(const std::wstring& fullPath)
{
    const std::wstring path = withoutLongPrefix(fullPath);
    if (path.size() >= 2 && isLetter(path[0]) && path[1] == L':') {
        return upperCase(path.substr(0, 2));
    }
    if (!path.starts_with(L"\\\\") || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        return {};
    }
    const auto serverEnd = path.find_first_of(L"\\/", 2);
    if (serverEnd == std::wstring::npos || serverEnd == 2) {
        return {};
    }
    const auto shareEnd = path.find_first_of(L"\\/", serverEnd + 1);
    const std::wstring share
        = path.substr(serverEnd + 1, shareEnd == std::wstring::npos ? std::wstring::npos : shareEnd - serverEnd - 1);
    if (share.empty()) {
        return {};
    }
    return upperCase(path.substr(0, serverEnd) + L"\\" + share + L"\\");
}

Result<std::string> Win32DriveTable::driveName(const std::string& path)
{
    if (path.empty()) {
        return std::string();
    }
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Result<std::string>::failure(wide.error());
    }
    const Result<std::wstring> full = fullPathOf(wide.value());
    if (!full.ok()) {
        return Result<std::string>::failure(full.error());
    }
    const std::wstring drive = drivePartOf(full.value());
    if (drive.size() != 2) {
        // A share, or a volume path; GetVolumePathNameW fails for shares under Wine.
        if (!drive.empty()) {
            return narrow(drive);
        }
        const std::optional<std::wstring> volume = volumePathOf(full.value());
        return volume && volume->starts_with(L"\\\\?\\Volume") ? narrow(*volume) : std::string();
    }
    const std::optional<std::wstring> volume = volumePathOf(full.value());
    if (volume) {
        const std::wstring root = withoutLongPrefix(*volume);
        if (root.size() > 3 && drivePartOf(root) == drive) {
            return narrow(mountedVolumeName(*volume));
        }
    }
    return narrow(drive);
}

DriveSpace Win32DriveTable::freeSpace(const std::string& drive)
{
    const std::optional<std::wstring> name = widenExactly(drive);
    if (!name || name->empty()) {
        return {DriveSpace::State::NoDrive, 0};
    }
    std::wstring root;
    if (name->size() == 2 && isLetter((*name)[0]) && (*name)[1] == L':') {
        root = *name + L"\\";
    } else if (name->starts_with(L"\\\\") && name->ends_with(L"\\")) {
        root = *name;
    } else {
        return {DriveSpace::State::NoDrive, 0};
    }
    // An empty floppy or card reader fails quietly instead of asking for a medium.
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    ULARGE_INTEGER available {};
    const bool known = ::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr) != 0;
    const DWORD error = ::GetLastError();
    ::SetThreadErrorMode(previousMode, nullptr);
    if (known) {
        return {DriveSpace::State::Known, available.QuadPart};
    }
    return {isNoDrive(error) ? DriveSpace::State::NoDrive : DriveSpace::State::QueryFailed, 0};
}

Result<DiskIdentity> Win32DriveTable::diskIdentity(const std::string& folder)
{
    const Result<std::wstring> wide = widePath(folder);
    if (!wide.ok()) {
        return Result<DiskIdentity>::failure(wide.error());
    }
    const Result<std::wstring> full = fullPathOf(wide.value());
    if (!full.ok()) {
        return Result<DiskIdentity>::failure(full.error());
    }
    if (::GetFileAttributesW(full.value().c_str()) == INVALID_FILE_ATTRIBUTES) {
        return Result<DiskIdentity>::failure(lastErrorText());
    }
    // GetVolumePathNameW fails for shares under Wine; a share is its own root.
    const std::wstring share = drivePartOf(full.value());
    const std::optional<std::wstring> root = share.size() > 2 ? std::optional(share) : volumePathOf(full.value());
    if (!root) {
        return Result<DiskIdentity>::failure(lastErrorText());
    }
    wchar_t volume[64] = L"";
    if (::GetVolumeNameForVolumeMountPointW(root->c_str(), volume, std::size(volume))) {
        return DiskIdentity {"volume:" + narrow(volume), narrow(*root)};
    }
    DWORD serial = 0;
    if (::GetVolumeInformationW(root->c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        char text[16];
        std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(serial));
        return DiskIdentity {std::string("serial:") + text, narrow(*root)};
    }
    // A share that tells no serial number is known by its name, which may hold blanks but never a "*".
    std::string name = narrow(*root);
    std::replace(name.begin(), name.end(), ' ', '*');
    return DiskIdentity {"share:" + name, narrow(*root)};
}

} // namespace carrovex::win32
