#include "tests/win32/WinDisk.h"

#include "platform/win32/WideText.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>
#include <windows.h>

namespace carrovex::testing
{

using win32::narrow;
using win32::widen;

namespace
{

std::string uniqueName(const char* prefix)
{
    static std::atomic<unsigned> counter {0};
    return prefix + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter.fetch_add(1));
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry {};
    const HANDLE find = ::FindFirstFileW(widen(folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(narrow(name));
            }
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void removeTree(const std::string& path)
{
    for (const std::string& name : namesIn(path)) {
        const std::wstring child = widen(path + "\\" + name);
        const DWORD attributes = ::GetFileAttributesW(child.c_str());
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            removeTree(path + "\\" + name);
        } else {
            ::DeleteFileW(child.c_str());
        }
    }
    ::RemoveDirectoryW(widen(path).c_str());
}

} // namespace

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    // Wine reuses process numbers: a folder that an interrupted test left may bear this process's name.
    for (;;) {
        m_path = narrow(std::wstring(temp, length)) + uniqueName("carrovex-test-");
        if (::CreateDirectoryW(widen(m_path).c_str(), nullptr)) {
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("cannot make the folder " + m_path);
        }
    }
}

TempFolder::~TempFolder()
{
    removeTree(m_path);
}

std::string TempFolder::folder(const std::string& name) const
{
    return makeFolder(m_path + "\\" + name);
}

std::string makeFolder(const std::string& path)
{
    ::CreateDirectoryW(widen(path).c_str(), nullptr);
    return path;
}

UnixTmpfs::UnixTmpfs(const std::string& size)
    : m_unixPath("/tmp/" + uniqueName("carrovex-wine-"))
    , m_path("Z:" + m_unixPath)
{
    std::replace(m_path.begin(), m_path.end(), '/', '\\');
    runOnLinux("mkdir -p " + m_unixPath + " && mount -t tmpfs -o size=" + size + " tmpfs " + m_unixPath);
    // Wine tells Linux programs' exit statuses poorly; the mount shows as a volume of its own.
    wchar_t volume[MAX_PATH] = L"";
    m_mounted = ::GetVolumePathNameW(widen(m_path + "\\").c_str(), volume, MAX_PATH) && std::wstring(volume).size() > 3;
}

UnixTmpfs::~UnixTmpfs()
{
    runOnLinux("umount -l " + m_unixPath + " 2>/dev/null; rmdir " + m_unixPath);
}

void writeFile(const std::string& path, const std::string& content)
{
    const HANDLE file = ::CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string readFile(const std::string& path)
{
    const HANDLE file = ::CreateFileW(
        widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    ::CloseHandle(file);
    return content;
}

bool exists(const std::string& path)
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

unsigned long attributesOf(const std::string& path)
{
    return ::GetFileAttributesW(widen(path).c_str());
}

void setAttributes(const std::string& path, unsigned long attributes)
{
    ::SetFileAttributesW(widen(path).c_str(), attributes);
}

int entryCount(const std::string& folder)
{
    return static_cast<int>(namesIn(folder).size());
}

std::string entriesOf(const std::string& folder)
{
    const std::vector<std::string> names = namesIn(folder);
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}

void setLastWrite(const std::string& path, std::int64_t ticks)
{
    const HANDLE file = ::CreateFileW(widen(path).c_str(),
        FILE_WRITE_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        0,
        nullptr);
    FILETIME time {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
    const bool set = file != INVALID_HANDLE_VALUE && ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    if (!set) {
        throw std::runtime_error("cannot set the time of " + path);
    }
}

// Wine does not let a Windows program wait for a Linux process: the command leaves a mark when it is
// done, which is waited for.
void runOnLinux(const std::string& command)
{
    const std::string mark = "/tmp/" + uniqueName("carrovex-wine-done-");
    std::wstring line = L"/bin/sh -c \"" + widen(command) + L"; touch " + widen(mark) + L"\"";
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return;
    }
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    const std::wstring seen = L"Z:" + widen(mark);
    for (int waited = 0; waited < 30'000 && ::GetFileAttributesW(seen.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 10) {
        ::Sleep(10);
    }
    ::DeleteFileW(seen.c_str());
}

} // namespace carrovex::testing
