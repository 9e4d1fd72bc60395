#include "platform/win32/Win32TextFiles.h"

#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"

#include <atomic>
#include <string>
#include <vector>
#include <windows.h>

namespace carrovex::win32
{

namespace
{

// Settings and language files are a few KiB; anything far larger is not one of them.
constexpr LONGLONG largestTextFile = LONGLONG {16} << 20;

// Writing through a link replaces the file it points to, not the link.
std::wstring targetOf(const std::wstring& path)
{
    Handle file(::CreateFileW(path.c_str(),
        FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL,
        nullptr));
    if (!file.valid()) {
        return path;
    }
    std::vector<wchar_t> target(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            file.get(), target.data(), static_cast<DWORD>(target.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return path;
        }
        if (length < target.size()) {
            return std::wstring(target.data(), length);
        }
        target.resize(length + 1);
    }
}

std::wstring temporaryPathBeside(const std::wstring& target)
{
    static std::atomic<unsigned> counter {0};
    const auto separator = target.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? L"" : target.substr(0, separator + 1);
    const std::wstring name = separator == std::wstring::npos ? target : target.substr(separator + 1);
    return folder + L"." + name + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-"
        + std::to_wstring(counter.fetch_add(1)) + L".tmp";
}

Status writeAll(HANDLE file, const std::string& content)
{
    std::size_t written = 0;
    while (written < content.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - written, 1 << 20));
        DWORD done = 0;
        if (!::WriteFile(file, content.data() + written, chunk, &done, nullptr)) {
            return Status::failure(lastErrorText());
        }
        written += done;
    }
    return {};
}

Status writeAndFlush(HANDLE file, const std::string& content)
{
    if (Status written = writeAll(file, content); !written.ok()) {
        return written;
    }
    if (!::FlushFileBuffers(file)) {
        return Status::failure(lastErrorText());
    }
    return {};
}

} // namespace

Result<std::optional<std::string>> Win32TextFiles::readAll(const std::string& path)
{
    using Read = Result<std::optional<std::string>>;
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Read::failure(wide.error());
    }
    Handle file(::CreateFileW(wide.value().c_str(),
        GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL,
        nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return std::optional<std::string>();
        }
        return Read::failure(systemErrorText(error));
    }
    // A device under the name (CON, a pipe) is no text file and could block the program.
    LARGE_INTEGER size {};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Read::failure(systemErrorText(ERROR_INVALID_PARAMETER));
    }
    if (!::GetFileSizeEx(file.get(), &size)) {
        return Read::failure(lastErrorText());
    }
    if (size.QuadPart > largestTextFile) {
        return Read::failure(systemErrorText(ERROR_FILE_TOO_LARGE));
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        DWORD done = 0;
        if (!::ReadFile(file.get(), content.data() + got, static_cast<DWORD>(content.size() - got), &done, nullptr)) {
            return Read::failure(lastErrorText());
        }
        if (done == 0) {
            break; // shrank while being read
        }
        got += done;
    }
    content.resize(got);
    return std::optional<std::string>(std::move(content));
}

Status Win32TextFiles::replaceAll(const std::string& path, const std::string& content)
{
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Status::failure(wide.error());
    }
    const std::wstring target = targetOf(wide.value());
    const DWORD existing = ::GetFileAttributesW(target.c_str());
    const bool created = existing == INVALID_FILE_ATTRIBUTES;
    const std::wstring temporary = temporaryPathBeside(target);
    Handle file(::CreateFileW(temporary.c_str(),
        GENERIC_WRITE,
        0,
        nullptr,
        CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
        nullptr));
    if (!file.valid()) {
        return Status::failure(lastErrorText());
    }
    Status written = writeAndFlush(file.get(), created ? withWindowsLineEnds(content) : content);
    if (written.ok() && !file.close()) {
        written = Status::failure(lastErrorText());
    }
    // The temporary file is hidden so that nobody takes it for a settings file; the attribute would go
    // along with the rename.
    const DWORD attributes = created ? FILE_ATTRIBUTE_NORMAL : existing & ~FILE_ATTRIBUTE_DIRECTORY;
    if (written.ok() && !::SetFileAttributesW(temporary.c_str(), attributes)) {
        written = Status::failure(lastErrorText());
    }
    if (written.ok()
        && !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        written = Status::failure(lastErrorText());
    }
    if (!written.ok()) {
        file.close();
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary.c_str());
    }
    return written;
}

// FILE_APPEND_DATA alone puts each write at the end, so that a write that a kill cuts short never lands
// mid-file; others may read the log meanwhile.
Status Win32TextFiles::append(const std::string& path, const std::string& text)
{
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Status::failure(wide.error());
    }
    Handle file(::CreateFileW(wide.value().c_str(),
        FILE_APPEND_DATA,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL,
        nullptr));
    if (!file.valid()) {
        return Status::failure(lastErrorText());
    }
    Status written = writeAll(file.get(), text);
    if (written.ok() && !file.close()) {
        written = Status::failure(lastErrorText());
    }
    return written;
}

Result<std::uint64_t> Win32TextFiles::size(const std::string& path)
{
    const Result<std::wstring> wide = widePath(path);
    if (!wide.ok()) {
        return Result<std::uint64_t>::failure(wide.error());
    }
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(wide.value().c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return std::uint64_t {0};
        }
        return Result<std::uint64_t>::failure(systemErrorText(error));
    }
    return (std::uint64_t {data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

Status Win32TextFiles::rename(const std::string& from, const std::string& to)
{
    const Result<std::wstring> wideFrom = widePath(from);
    const Result<std::wstring> wideTo = widePath(to);
    if (!wideFrom.ok() || !wideTo.ok()) {
        return Status::failure(wideFrom.ok() ? wideTo.error() : wideFrom.error());
    }
    if (!::MoveFileExW(wideFrom.value().c_str(), wideTo.value().c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return Status::failure(lastErrorText());
    }
    return {};
}

std::string withWindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

} // namespace carrovex::win32
