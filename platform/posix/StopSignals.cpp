#include "platform/posix/StopSignals.h"

#include "platform/posix/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <stdexcept>
#include <sys/signalfd.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

sigset_t stopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// Blocks the stop signals and returns the mask before; they must be blocked before the descriptor is made.
sigset_t blockStopSignals()
{
    const sigset_t set = stopSignalSet();
    sigset_t previous;
    if (::sigprocmask(SIG_BLOCK, &set, &previous) != 0) {
        throw std::runtime_error("cannot block SIGINT and SIGTERM: " + lastErrorText());
    }
    return previous;
}

int makeSignalDescriptor()
{
    const sigset_t set = stopSignalSet();
    const int fd = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) {
        throw std::runtime_error("cannot wait for SIGINT and SIGTERM: " + lastErrorText());
    }
    return fd;
}

int millisecondsUntil(const std::optional<StopSignals::TimePoint>& deadline)
{
    if (!deadline) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    // At most a day, well inside the int of poll; a longer wait simply waits again.
    constexpr long long day = 24LL * 60 * 60 * 1000;
    return static_cast<int>(std::clamp<long long>(left.count(), 0, day));
}

} // namespace

StopSignals::StopSignals()
    : m_previousMask(blockStopSignals())
    , m_descriptor(makeSignalDescriptor())
{
}

StopSignals::~StopSignals()
{
    ::sigprocmask(SIG_SETMASK, &m_previousMask, nullptr);
}

bool StopSignals::taken()
{
    signalfd_siginfo info;
    if (::read(m_descriptor.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        m_signalNumber = static_cast<int>(info.ssi_signo);
        return true;
    }
    return false;
}

StopSignals::Wake StopSignals::wait(std::optional<TimePoint> deadline, int input)
{
    for (;;) {
        if (taken()) {
            return Wake::Signal;
        }
        pollfd watched[] = {{m_descriptor.get(), POLLIN, 0}, {input, POLLIN, 0}};
        const int ready = ::poll(watched, input >= 0 ? 2 : 1, millisecondsUntil(deadline));
        if (ready < 0 && errno != EINTR) {
            throw std::runtime_error("cannot wait for SIGINT and SIGTERM: " + lastErrorText());
        }
        if (watched[0].revents != 0) {
            continue; // the signal is read at the top
        }
        if (ready > 0 && input >= 0 && watched[1].revents != 0) {
            return Wake::Input;
        }
        // poll's milliseconds can end a little before the deadline itself.
        if (ready == 0 && deadline && std::chrono::steady_clock::now() >= *deadline) {
            return Wake::Deadline;
        }
    }
}

int StopSignals::signalNumber() const
{
    return m_signalNumber;
}

int StopSignals::descriptor() const
{
    return m_descriptor.get();
}

} // namespace carrovex::posix
