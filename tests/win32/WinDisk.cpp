#include "tests/win32/WinDisk.h"

#include "platform/win32/WideText.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iterator>
#include <stdexcept>
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

} // namespace

std::filesystem::path nativePath(const std::string& path)
{
    return widen(path);
}

std::filesystem::path wholePath(const std::string& path)
{
    return L"\\\\?\\" + widen(path);
}

std::string utf8Path(const std::filesystem::path& path)
{
    return narrow(path.wstring());
}

// Through the system's own listing: the library's cannot list a folder whose path is longer than 260
// characters.
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
    return names;
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
    const auto entries = std::filesystem::directory_iterator(nativePath(folder));
    return static_cast<int>(std::distance(begin(entries), end(entries)));
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
