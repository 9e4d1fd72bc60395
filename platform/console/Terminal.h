#pragma once

#include "platform/Result.h"

#include <chrono>
#include <optional>
#include <string>

namespace carrovex
{

// The terminal a console program runs in, as its window needs it: the user's requests to stop, taken as
// events where the window would take a click (between files, or while waiting), files arriving in a folder
// while it waits, and yes/no questions.
// On Linux the requests are SIGINT and SIGTERM; on Windows Ctrl+C, Ctrl+Break and closing the console.
class Terminal
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    enum class Wake {
        Deadline, // the deadline passed first
        Stop, // the user asked the program to stop
        Arrival, // files arrived in the watched folder
    };

    virtual ~Terminal() = default;

    // Waits until the deadline (none: for ever; one that has passed: only looks) or a request to stop. A
    // request already waiting wins.
    virtual Wake wait(std::optional<TimePoint> deadline) = 0;

    // Files that arrive in the folder from now on (written and closed, or moved in) end a wait as soon as the
    // system tells of them. Replaces the folder watched before; an empty folder watches none. Fails with the
    // system's reason; nothing is watched then.
    virtual Status watchArrivals(const std::string& folder) = 0;

    // True when a request to stop has come (it is taken); a cheap look between two files.
    virtual bool stopTaken() = 0;

    // The exit status of a program whose work the last request cancelled: 128 plus the number of the
    // signal it stands for, as a shell reports a command that the signal ended.
    virtual int stopStatus() const = 0;

    // Asks on the terminal; an empty answer is Yes, the default. No terminal, its end, or a request to stop
    // answers No.
    virtual bool askYesNo(const std::string& question) = 0;
};

} // namespace carrovex
