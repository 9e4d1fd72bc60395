#include "platform/win32/ArrivalWatch.h"

#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"

#include <stdexcept>

namespace carrovex::win32
{

namespace
{

constexpr DWORD watchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

// A file that leaves (a move out of the folder, this program's own) brings nothing to take.
bool isArrival(DWORD action)
{
    return action == FILE_ACTION_ADDED || action == FILE_ACTION_MODIFIED || action == FILE_ACTION_RENAMED_NEW_NAME;
}

} // namespace

ArrivalWatch::ArrivalWatch()
    : m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    if (!m_event.valid()) {
        throw std::runtime_error("cannot wait for arriving files: " + lastErrorText());
    }
}

ArrivalWatch::~ArrivalWatch()
{
    stop();
}

void ArrivalWatch::stop()
{
    if (m_folder.valid()) {
        // The system writes into the buffer until the read is cancelled and over.
        DWORD bytes = 0;
        ::CancelIoEx(m_folder.get(), &m_overlapped);
        ::GetOverlappedResult(m_folder.get(), &m_overlapped, &bytes, TRUE);
        m_folder = Handle();
    }
    ::ResetEvent(m_event.get());
}

Status ArrivalWatch::watch(const std::string& folder)
{
    stop();
    if (folder.empty()) {
        return {};
    }
    const Result<std::wstring> path = widePath(folder);
    if (!path.ok()) {
        return Status::failure(path);
    }
    m_folder = Handle(::CreateFileW(path.value().c_str(),
        FILE_LIST_DIRECTORY,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
        nullptr));
    if (!m_folder.valid()) {
        return Status::failure(lastErrorText());
    }
    return listen();
}

Status ArrivalWatch::listen()
{
    ::ResetEvent(m_event.get());
    m_overlapped = OVERLAPPED {};
    m_overlapped.hEvent = m_event.get();
    if (!::ReadDirectoryChangesW(
            m_folder.get(), m_buffer, sizeof m_buffer, FALSE, watchedChanges, nullptr, &m_overlapped, nullptr)) {
        const Status failed = Status::failure(lastErrorText());
        m_folder = Handle();
        return failed;
    }
    return {};
}

HANDLE ArrivalWatch::event() const
{
    return m_event.get();
}

bool ArrivalWatch::take()
{
    if (!m_folder.valid()) {
        ::ResetEvent(m_event.get());
        return false;
    }
    DWORD bytes = 0;
    if (!::GetOverlappedResult(m_folder.get(), &m_overlapped, &bytes, FALSE)) {
        if (::GetLastError() == ERROR_IO_INCOMPLETE) {
            return false;
        }
        // The folder went away: the minute timer is all that is left.
        m_folder = Handle();
        ::ResetEvent(m_event.get());
        return false;
    }
    // No bytes: more happened than the buffer could hold.
    bool arrived = bytes == 0;
    for (DWORD at = 0; at < bytes;) {
        const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(m_buffer + at);
        arrived = arrived || isArrival(change->Action);
        if (change->NextEntryOffset == 0) {
            break;
        }
        at += change->NextEntryOffset;
    }
    static_cast<void>(listen());
    return arrived;
}

} // namespace carrovex::win32
