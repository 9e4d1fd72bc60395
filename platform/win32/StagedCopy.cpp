#include "platform/win32/StagedCopy.h"

#include "platform/common/ThrottledProgress.h"
#include "platform/win32/SystemError.h"

#include <atomic>
#include <vector>

namespace carrovex::win32
{

namespace
{

constexpr std::wstring_view stagedPrefix = L"~carrovex-";
constexpr std::wstring_view stagedSuffix = L".tmp";
constexpr DWORD chunkBytes = 1 << 20;

std::wstring stagedName()
{
    static std::atomic<unsigned> counter {0};
    return std::wstring(stagedPrefix) + std::to_wstring(::GetCurrentProcessId()) + L"-"
        + std::to_wstring(counter.fetch_add(1)) + std::wstring(stagedSuffix);
}

Status copyContent(HANDLE source, HANDLE copy, std::int64_t length, ThrottledProgress& progress)
{
    std::vector<char> buffer(chunkBytes);
    std::int64_t remaining = length;
    while (remaining > 0) {
        DWORD got = 0;
        if (!::ReadFile(source, buffer.data(), chunkBytes, &got, nullptr)) {
            return Status::failure(lastErrorText());
        }
        if (got == 0) {
            return {}; // shrank: the state check tells
        }
        // A write that takes only part (a full disk under some file systems) is asked for the rest, which
        // then fails with the reason.
        for (DWORD done = 0; done < got;) {
            DWORD written = 0;
            if (!::WriteFile(copy, buffer.data() + done, got - done, &written, nullptr)) {
                return Status::failure(lastErrorText());
            }
            if (written == 0) {
                return Status::failure(systemErrorText(ERROR_DISK_FULL));
            }
            done += written;
        }
        remaining -= got;
        progress.copied(length - remaining);
    }
    return {};
}

// The source's times and attributes, without the ones that the file system gives by itself.
bool copyTimesAndAttributes(HANDLE source, HANDLE copy, DWORD& attributes)
{
    FILE_BASIC_INFO basic {};
    if (!::GetFileInformationByHandleEx(source, FileBasicInfo, &basic, sizeof basic)) {
        return false;
    }
    attributes = basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    basic.ChangeTime.QuadPart = 0;
    basic.FileAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return ::SetFileInformationByHandle(copy, FileBasicInfo, &basic, sizeof basic) != 0;
}

} // namespace

StagedCopy::StagedCopy(Handle file, std::wstring path, bool deletesItself)
    : m_file(std::move(file))
    , m_path(std::move(path))
    , m_deletesItself(deletesItself)
{
}

StagedCopy::~StagedCopy()
{
    discard();
}

void StagedCopy::discard()
{
    if (!m_file.valid()) {
        return;
    }
    if (!m_deletesItself || !deleteOnClose(m_file.get(), true)) {
        m_file.close();
        ::DeleteFileW(m_path.c_str());
    }
    m_file.close();
}

Result<StagedCopy> StagedCopy::make(HANDLE source, const std::wstring& folder, const ProgressReport& report)
{
    using Made = Result<StagedCopy>;
    const Result<FileState> before = stateOf(source);
    if (!before.ok()) {
        return Made::failure(before.error());
    }
    std::wstring path;
    Handle file;
    do {
        path = folder + L"\\" + stagedName();
        file = Handle(::CreateFileW(path.c_str(),
            GENERIC_READ | GENERIC_WRITE | DELETE,
            0,
            nullptr,
            CREATE_NEW,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
            nullptr));
    } while (!file.valid() && ::GetLastError() == ERROR_FILE_EXISTS);
    if (!file.valid()) {
        return Made::failure(lastErrorText());
    }
    const bool deletesItself = deleteOnClose(file.get(), true);
    StagedCopy staged(std::move(file), std::move(path), deletesItself);
    const HANDLE copy = staged.m_file.get();
    // From here on, a failure drops the copy, which deletes it.
    ThrottledProgress progress(report, before.value().size);
    if (const Status copied = copyContent(source, copy, before.value().size, progress); !copied.ok()) {
        return Made::failure(copied.error());
    }
    const Result<FileState> after = stateOf(source);
    if (!after.ok()) {
        return Made::failure(after.error());
    }
    LARGE_INTEGER written {};
    if (!::GetFileSizeEx(copy, &written)) {
        return Made::failure(lastErrorText());
    }
    if (!after.value().sameContent(before.value()) || written.QuadPart != before.value().size) {
        return Made::failure(Problem::ChangedWhileCopied);
    }
    DWORD attributes = 0;
    if (!copyTimesAndAttributes(source, copy, attributes) || !::FlushFileBuffers(copy)) {
        return Made::failure(lastErrorText());
    }
    staged.m_source = before.value();
    staged.m_source.attributes = attributes;
    return staged;
}

Status StagedCopy::place(const std::function<Status(HANDLE copy)>& rename)
{
    // A rename keeps the attributes: the copy stops being hidden before it gets its name.
    FILE_BASIC_INFO basic {};
    basic.FileAttributes = m_source.attributes == 0 ? FILE_ATTRIBUTE_NORMAL : m_source.attributes;
    if (m_deletesItself && !deleteOnClose(m_file.get(), false)) {
        return Status::failure(lastErrorText());
    }
    Status placed = ::SetFileInformationByHandle(m_file.get(), FileBasicInfo, &basic, sizeof basic)
        ? rename(m_file.get())
        : Status::failure(lastErrorText());
    if (placed.ok() && !::FlushFileBuffers(m_file.get())) {
        // The copy is in place but perhaps not yet on the disk; it stays, and the caller keeps the source.
        placed = Status::failure(lastErrorText());
        m_file.close();
        return placed;
    }
    if (!placed.ok()) {
        basic.FileAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        ::SetFileInformationByHandle(m_file.get(), FileBasicInfo, &basic, sizeof basic);
        discard();
        return placed;
    }
    m_file.close();
    return {};
}

bool isStagedName(const std::wstring& name)
{
    return name.starts_with(stagedPrefix) && name.ends_with(stagedSuffix);
}

void removeAbandonedCopies(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry {};
    const std::wstring pattern = folder + L"\\" + std::wstring(stagedPrefix) + L"*" + std::wstring(stagedSuffix);
    const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        constexpr DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 && (entry.dwFileAttributes & notPlain) == 0
            && isStagedName(entry.cFileName)) {
            // A copy that a living program holds is open to nobody else: the delete fails.
            ::DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

} // namespace carrovex::win32
