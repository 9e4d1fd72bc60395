#include "platform/posix/EarlyWriteback.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace carrovex::posix
{

EarlyWriteback::~EarlyWriteback()
{
    end();
}

void EarlyWriteback::begin(int folderFd)
{
    if (m_thread.joinable()) {
        return;
    }
    // Reopened, not shared: the batch's own descriptor must keep its write-back failures for the batch's flush.
    m_folder = FileDescriptor(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (m_folder.get() < 0) {
        return;
    }
    m_ending = false;
    try {
        m_thread = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        m_folder.reset();
    }
}

void EarlyWriteback::end()
{
    if (!m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
    m_folder.reset();
}

void EarlyWriteback::work()
{
    std::unique_lock lock(m_mutex);
    while (!m_changed.wait_for(lock, period, [this] { return m_ending; })) {
        lock.unlock();
        ::syncfs(m_folder.get());
        lock.lock();
    }
}

} // namespace carrovex::posix
