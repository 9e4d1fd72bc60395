#include "platform/posix/ArrivalWatch.h"

#include "platform/posix/SystemError.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace carrovex::posix
{

ArrivalWatch::ArrivalWatch()
    : m_descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_descriptor.get() < 0) {
        m_unusable = lastErrorText();
    }
}

Status ArrivalWatch::watch(const std::string& folder)
{
    if (m_watch >= 0) {
        // A watch that the system ended itself (its folder was removed) is already gone.
        ::inotify_rm_watch(m_descriptor.get(), m_watch);
        m_watch = -1;
    }
    if (folder.empty()) {
        return {};
    }
    if (m_descriptor.get() < 0) {
        return Status::failure(m_unusable);
    }
    // Creations are left out on purpose: a file being written would bring a run that can only leave it.
    m_watch = ::inotify_add_watch(m_descriptor.get(), folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR);
    if (m_watch < 0) {
        return Status::failure(lastErrorText());
    }
    return {};
}

int ArrivalWatch::descriptor() const
{
    return m_descriptor.get();
}

bool ArrivalWatch::take()
{
    bool arrived = false;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_descriptor.get(), buffer, sizeof buffer);
        if (got <= 0) {
            return arrived;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // Events of a folder watched before may still be waiting; they bring at worst one run too many.
            arrived = arrived || (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_Q_OVERFLOW)) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace carrovex::posix
