#pragma once

#include "platform/console/Terminal.h"
#include "platform/posix/ArrivalWatch.h"
#include "platform/posix/StopSignals.h"

namespace carrovex::posix
{

// SIGINT and SIGTERM as the requests to stop, inotify for arriving files, questions on standard error and input. Make
// it before any thread starts (see StopSignals).
class PosixTerminal final : public Terminal
{
public:
    Wake wait(std::optional<TimePoint> deadline) override;
    Status watchArrivals(const std::string& folder) override;
    bool stopTaken() override;
    int stopStatus() const override;
    bool askYesNo(const std::string& question) override;

    // The last stop signal taken, 0 before the first.
    int signalNumber() const;

private:
    StopSignals m_signals;
    ArrivalWatch m_arrivals;
};

} // namespace carrovex::posix
