#include "platform/win32/FileHandles.h"

#include "platform/win32/SystemError.h"

#include <cstring>
#include <vector>

namespace carrovex::win32
{

namespace
{

std::int64_t toInt64(LARGE_INTEGER value)
{
    return value.QuadPart;
}

bool setAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic {}; // times of 0 stay as they are
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool renameTo(HANDLE file, const std::wstring& to, bool replace)
{
    // The name goes to the system in its own form: "\??\" before the full path.
    const std::wstring name = to.starts_with(L"\\\\?\\") ? L"\\??\\" + to.substr(4)
        : to.starts_with(L"\\\\")                        ? L"\\??\\UNC\\" + to.substr(2)
                                                         : L"\\??\\" + to;
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, name.data(), info->FileNameLength);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

// Whether another program holds the file open for writing: an open for reading that shares reading and
// deleting fails then, while one that shares writing too does not. A program that shares no reading holds
// the file for whatever it does, and one that shares no deleting only keeps a move away: the system's own
// words say that the file is in use.
bool heldForWriting(const std::wstring& path)
{
    const auto openSharing = [&path](DWORD share) {
        return Handle(::CreateFileW(path.c_str(),
            GENERIC_READ,
            share,
            nullptr,
            OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
            nullptr));
    };
    if (openSharing(FILE_SHARE_READ | FILE_SHARE_DELETE).valid() || ::GetLastError() != ERROR_SHARING_VIOLATION) {
        return false;
    }
    return openSharing(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE).valid();
}

std::wstring fullPathOf(const std::wstring& path)
{
    std::vector<wchar_t> full(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            return std::wstring(full.data(), length);
        }
        full.resize(length);
    }
}

} // namespace

Result<FileState> stateOf(HANDLE file)
{
    FILE_BASIC_INFO basic {};
    FILE_STANDARD_INFO standard {};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)
        || !::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        return Result<FileState>::failure(lastErrorText());
    }
    FileState state;
    state.size = toInt64(standard.EndOfFile);
    state.lastWrite = toInt64(basic.LastWriteTime);
    state.attributes = basic.FileAttributes;
    FILE_ID_INFO id {};
    if (::GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof id)) {
        state.volume = id.VolumeSerialNumber;
        std::memcpy(state.id.data(), &id.FileId, sizeof id.FileId);
        return state;
    }
    // File systems without 128-bit numbers (FAT, some shares) have the older 64-bit ones.
    BY_HANDLE_FILE_INFORMATION info {};
    if (!::GetFileInformationByHandle(file, &info)) {
        return Result<FileState>::failure(lastErrorText());
    }
    state.volume = info.dwVolumeSerialNumber;
    const std::uint64_t index = (std::uint64_t {info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    std::memcpy(state.id.data(), &index, sizeof index);
    return state;
}

Handle openForAttributes(const std::wstring& path)
{
    return Handle(::CreateFileW(path.c_str(),
        FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS,
        nullptr));
}

Result<FileState> stateAt(const std::wstring& path)
{
    const Handle file = openForAttributes(path);
    if (!file.valid()) {
        return Result<FileState>::failure(lastErrorText());
    }
    return stateOf(file.get());
}

Result<Handle> openSource(const std::wstring& path, bool forMove)
{
    const DWORD access = forMove ? GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES : GENERIC_READ;
    // Backup semantics open a folder too, which is then refused as no plain file; they bypass no access
    // check, since the program never enables the backup privilege.
    Handle file(::CreateFileW(path.c_str(),
        access,
        FILE_SHARE_READ,
        nullptr,
        OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS,
        nullptr));
    if (!file.valid()) {
        // A program that holds the file for its own transfer shares no deleting, so the system's words
        // ("in use") tell it; one that has taken the file left no name behind.
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return Result<Handle>::failure(Problem::TakenByAnother);
        }
        return error == ERROR_SHARING_VIOLATION && heldForWriting(path)
            ? Result<Handle>::failure(Problem::OpenForWriting)
            : Result<Handle>::failure(systemErrorText(error));
    }
    FILE_BASIC_INFO basic {};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) {
        return Result<Handle>::failure(lastErrorText());
    }
    constexpr DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if ((basic.FileAttributes & notPlain) != 0 || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Result<Handle>::failure(Problem::NotRegularFile);
    }
    return file;
}

DWORD renameOpenFile(HANDLE file, const std::wstring& to, bool replace)
{
    const std::wstring target = fullPathOf(to);
    if (renameTo(file, target, replace)) {
        return 0;
    }
    DWORD error = ::GetLastError();
    // Windows refuses to replace a read-only file by a rename; the user allowed replacing it.
    const DWORD targetAttributes = ::GetFileAttributesW(target.c_str());
    const bool readOnly
        = targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (replace && error == ERROR_ACCESS_DENIED && readOnly
        && ::SetFileAttributesW(target.c_str(), targetAttributes & ~FILE_ATTRIBUTE_READONLY)) {
        if (renameTo(file, target, true)) {
            return 0;
        }
        error = ::GetLastError();
        ::SetFileAttributesW(target.c_str(), targetAttributes);
    }
    return error;
}

Status renameFailure(DWORD error)
{
    // Names that another volume (FAT, a share) does not take, or that grow too long in the destination.
    const bool nameRefused
        = error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME || error == ERROR_FILENAME_EXCED_RANGE;
    return nameRefused ? Status::failure(Problem::NameRefused) : Status::failure(systemErrorText(error));
}

bool deleteOnClose(HANDLE file, bool remove)
{
    FILE_DISPOSITION_INFO disposition {static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

Status deleteOpenFile(HANDLE file)
{
    if (deleteOnClose(file, true)) {
        return {};
    }
    const DWORD error = ::GetLastError();
    FILE_BASIC_INFO basic {};
    if (error != ERROR_ACCESS_DENIED || !::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)
        || (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) {
        return Status::failure(systemErrorText(error));
    }
    // A read-only file is deleted all the same, as DeleteFile with force did.
    if (!setAttributes(file, basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY) || !deleteOnClose(file, true)) {
        const Status failed = Status::failure(lastErrorText());
        setAttributes(file, basic.FileAttributes);
        return failed;
    }
    return {};
}

} // namespace carrovex::win32
