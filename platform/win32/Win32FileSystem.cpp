#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/FileHandles.h"
#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

#include <cstring>
#include <optional>

namespace carrovex::win32
{

namespace
{

bool isPlainFile(const WIN32_FIND_DATAW& entry)
{
    // Hidden and system files are not the user's to move, and links may lead anywhere.
    constexpr DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_HIDDEN
        | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return (entry.dwFileAttributes & skipped) == 0 && !isStagedName(entry.cFileName);
}

std::optional<DWORD> volumeSerialOf(const std::wstring& folder)
{
    const Handle opened = openForAttributes(folder);
    BY_HANDLE_FILE_INFORMATION info {};
    if (!opened.valid() || !::GetFileInformationByHandle(opened.get(), &info)) {
        return std::nullopt;
    }
    return info.dwVolumeSerialNumber;
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Plain files only: what the attributes of a folder, link or device say is no content to compare.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> plainFileData(const std::wstring& path, DWORD& error)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    error = 0;
    constexpr DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if ((data.dwFileAttributes & notPlain) != 0) {
        return std::nullopt;
    }
    return data;
}

std::int64_t lengthOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return static_cast<std::int64_t>((std::uint64_t {data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

std::int64_t ticksOf(const FILETIME& time)
{
    return static_cast<std::int64_t>((std::uint64_t {time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// Times agree when equal, or when the second one's file system stores whole seconds only (FAT keeps even
// seconds) and they lie within two seconds.
bool sameTime(const FILETIME& first, const FILETIME& second)
{
    constexpr std::int64_t second100ns = 10'000'000;
    const std::int64_t a = ticksOf(first);
    const std::int64_t b = ticksOf(second);
    if (a == b) {
        return true;
    }
    const std::int64_t difference = a - b;
    return b % second100ns == 0 && difference >= -2 * second100ns && difference <= 2 * second100ns;
}

Result<bool> sameBytes(const std::wstring& first, const std::wstring& second)
{
    const auto open = [](const std::wstring& path) {
        return Handle(::CreateFileW(path.c_str(),
            GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr,
            OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
            nullptr));
    };
    const Handle a = open(first);
    if (!a.valid()) {
        return Result<bool>::failure(lastErrorText());
    }
    const Handle b = open(second);
    if (!b.valid()) {
        return Result<bool>::failure(lastErrorText());
    }
    constexpr DWORD chunk = 1 << 20;
    std::vector<char> bufferA(chunk);
    std::vector<char> bufferB(chunk);
    for (;;) {
        DWORD gotA = 0;
        if (!::ReadFile(a.get(), bufferA.data(), chunk, &gotA, nullptr)) {
            return Result<bool>::failure(lastErrorText());
        }
        DWORD gotB = 0;
        while (gotB < gotA) {
            DWORD more = 0;
            if (!::ReadFile(b.get(), bufferB.data() + gotB, gotA - gotB, &more, nullptr)) {
                return Result<bool>::failure(lastErrorText());
            }
            if (more == 0) {
                return false;
            }
            gotB += more;
        }
        if (std::memcmp(bufferA.data(), bufferB.data(), gotA) != 0) {
            return false;
        }
        if (gotA == 0) {
            char extra = 0;
            DWORD gotExtra = 0;
            if (!::ReadFile(b.get(), &extra, 1, &gotExtra, nullptr)) {
                return Result<bool>::failure(lastErrorText());
            }
            return gotExtra == 0;
        }
    }
}

} // namespace

Win32FileSystem::Win32FileSystem()
    : Win32FileSystem(BatchLimits {})
{
}

Win32FileSystem::Win32FileSystem(BatchLimits limits)
    : m_batch(limits)
{
}

std::string Win32FileSystem::joinPath(const std::string& folder, const std::string& name) const
{
    return folder + "\\" + name;
}

Result<std::vector<std::string>> Win32FileSystem::listPlainFiles(const std::string& folder)
{
    using Listing = Result<std::vector<std::string>>;
    const Result<std::wstring> wide = widePath(folder);
    if (!wide.ok()) {
        return Listing::failure(wide.error());
    }
    WIN32_FIND_DATAW entry {};
    const HANDLE find = ::FindFirstFileExW((wide.value() + L"\\*").c_str(),
        FindExInfoBasic,
        &entry,
        FindExSearchNameMatch,
        nullptr,
        FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return Listing::failure(lastErrorText());
    }
    std::vector<std::string> names;
    do {
        if (isPlainFile(entry)) {
            names.push_back(narrow(entry.cFileName));
        }
    } while (::FindNextFileW(find, &entry));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        return Listing::failure(systemErrorText(error));
    }
    return names;
}

bool Win32FileSystem::folderExists(const std::string& path)
{
    const std::optional<std::wstring> wide = widenExactly(path);
    if (!wide || wide->empty()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Result<bool> Win32FileSystem::fileExists(const std::string& path)
{
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Result<bool>::failure(wide.error());
    }
    const DWORD attributes = ::GetFileAttributesW(wide.value().c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    const DWORD error = ::GetLastError();
    if (isMissing(error)) {
        return false;
    }
    return Result<bool>::failure(systemErrorText(error));
}

Result<bool> Win32FileSystem::sameFile(const std::string& first, const std::string& second)
{
    const Result<std::wstring> firstPath = widePath(first);
    const Result<std::wstring> secondPath = widePath(second);
    if (!firstPath.ok() || !secondPath.ok()) {
        return Result<bool>::failure(firstPath.ok() ? secondPath.error() : firstPath.error());
    }
    const Result<FileState> firstState = stateAt(firstPath.value());
    const DWORD firstError = ::GetLastError();
    const Result<FileState> secondState = stateAt(secondPath.value());
    const DWORD secondError = ::GetLastError();
    if (!firstState.ok() || !secondState.ok()) {
        const DWORD error = firstState.ok() ? secondError : firstError;
        if (isMissing(error)) {
            return false;
        }
        return Result<bool>::failure(systemErrorText(error));
    }
    return firstState.value().sameFile(secondState.value());
}

Result<bool> Win32FileSystem::sameContent(const std::string& first, const std::string& second)
{
    const Result<std::wstring> firstPath = widePath(first);
    const Result<std::wstring> secondPath = widePath(second);
    if (!firstPath.ok() || !secondPath.ok()) {
        return Result<bool>::failure(firstPath.ok() ? secondPath.error() : firstPath.error());
    }
    DWORD error = 0;
    const auto firstData = plainFileData(firstPath.value(), error);
    if (!firstData && error != 0) {
        return isMissing(error) ? Result<bool>(false) : Result<bool>::failure(systemErrorText(error));
    }
    const auto secondData = plainFileData(secondPath.value(), error);
    if (!secondData && error != 0) {
        return isMissing(error) ? Result<bool>(false) : Result<bool>::failure(systemErrorText(error));
    }
    if (!firstData || !secondData || lengthOf(*firstData) != lengthOf(*secondData)
        || !sameTime(firstData->ftLastWriteTime, secondData->ftLastWriteTime)) {
        return false;
    }
    return sameBytes(firstPath.value(), secondPath.value());
}

Result<std::int64_t> Win32FileSystem::fileLength(const std::string& path)
{
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Result<std::int64_t>::failure(wide.error());
    }
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(wide.value().c_str(), GetFileExInfoStandard, &data)) {
        return Result<std::int64_t>::failure(lastErrorText());
    }
    return lengthOf(data);
}

void Win32FileSystem::beginRun(const std::string& destinationFolder)
{
    const Result<std::wstring> folder = widePath(destinationFolder);
    m_runFolder = folder.ok() ? folder.value() : std::wstring();
    m_runVolume = folder.ok() ? volumeSerialOf(m_runFolder) : std::nullopt;
}

Status Win32FileSystem::startTransfer(const std::string& source, const std::string& destination, Transfer how)
{
    const Result<std::wstring> from = widePath(source);
    const Result<std::wstring> to = widePath(destination);
    if (!from.ok() || !to.ok()) {
        return Status::failure(from.ok() ? to.error() : from.error());
    }
    if (m_runVolume && volumeSerialOf(m_runFolder) != m_runVolume) {
        return Status::failure(Problem::DestinationDiskChanged);
    }
    return m_batch.add(from.value(), to.value(), how);
}

void Win32FileSystem::reportProgress(ProgressReport report)
{
    m_batch.reportProgress(std::move(report));
}

bool Win32FileSystem::batchDue()
{
    return m_batch.due();
}

std::vector<Placed> Win32FileSystem::completeBatch()
{
    return m_batch.complete();
}

} // namespace carrovex::win32
