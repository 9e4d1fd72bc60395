#include "platform/posix/RemovedSourceCloser.h"

#include <algorithm>
#include <iterator>
#include <system_error>
#include <utility>

namespace carrovex::posix
{

namespace
{

// Taken at a time by one thread: few enough that the threads share a batch's tail.
constexpr std::size_t closedTogether = 64;

} // namespace

RemovedSourceCloser::RemovedSourceCloser(std::size_t threads)
    : m_wanted(threads)
{
}

RemovedSourceCloser::~RemovedSourceCloser()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

void RemovedSourceCloser::close(std::vector<FileDescriptor> descriptors)
{
    if (descriptors.empty()) {
        return;
    }
    while (m_threads.size() < m_wanted) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            break;
        }
    }
    if (m_threads.empty()) {
        return; // `descriptors` closes them here
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.empty() && m_closing == 0; });
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
        const std::size_t taken = std::min(closedTogether, m_waiting.size());
        std::vector<FileDescriptor> closing(
            std::make_move_iterator(m_waiting.end() - static_cast<std::ptrdiff_t>(taken)),
            std::make_move_iterator(m_waiting.end()));
        m_waiting.resize(m_waiting.size() - taken);
        ++m_closing;
        lock.unlock();
        closing.clear();
        lock.lock();
        --m_closing;
        m_changed.notify_all();
    }
}

} // namespace carrovex::posix
