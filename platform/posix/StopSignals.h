#pragma once

#include "platform/posix/FileDescriptor.h"

#include <chrono>
#include <optional>
#include <signal.h>

namespace carrovex::posix
{

// SIGINT and SIGTERM as events the program waits for, instead of handlers that interrupt it at any
// point: both are blocked for the whole process and read from a descriptor. Make it before any thread
// starts; the mask is restored when it goes.
class StopSignals
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    enum class Wake {
        Deadline, // the deadline passed first
        Signal, // a stop signal came; signalNumber() tells which
        Input, // the other descriptor has something to read
    };

    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals();

    // Waits until the deadline (none: for ever; one that has passed: only looks), a stop signal or, with
    // input >= 0, something to read on input. A signal already waiting wins.
    Wake wait(std::optional<TimePoint> deadline, int input = -1);

    // True when a stop signal has come (it is taken); one system call, for a look between two files.
    bool taken();

    // The last stop signal taken, 0 before the first.
    int signalNumber() const;

    // Readable while a stop signal waits, for an event loop to watch; taken() takes the signal.
    int descriptor() const;

private:
    sigset_t m_previousMask;
    FileDescriptor m_descriptor;
    int m_signalNumber = 0;
};

} // namespace carrovex::posix
