#include "platform/posix/RemovedSourceCloser.h"

#include <system_error>
#include <utility>

namespace carrovex::posix
{

RemovedSourceCloser::~RemovedSourceCloser()
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
}

void RemovedSourceCloser::close(std::vector<FileDescriptor> descriptors)
{
    if (descriptors.empty()) {
        return;
    }
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            return; // `descriptors` closes them here
        }
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.empty() && !m_closing; });
    m_waiting = std::move(descriptors);
    lock.unlock();
    m_changed.notify_all();
}

void RemovedSourceCloser::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_ending || !m_waiting.empty(); });
        if (m_waiting.empty()) {
            return;
        }
        std::vector<FileDescriptor> closing;
        closing.swap(m_waiting);
        m_closing = true;
        lock.unlock();
        closing.clear();
        lock.lock();
        m_closing = false;
        m_changed.notify_all();
    }
}

} // namespace carrovex::posix
