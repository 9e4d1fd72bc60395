#pragma once

#include "platform/console/Terminal.h"
#include "platform/posix/StopSignals.h"

namespace carrovex::posix
{

// SIGINT and SIGTERM as the requests to stop, questions on standard error and input. Make it before any
// thread starts (see StopSignals).
class PosixTerminal final : public Terminal
{
public:
    Wake wait(std::optional<TimePoint> deadline) override;
    bool stopTaken() override;
    int stopStatus() const override;
    bool askYesNo(const std::string& question) override;

    // The last stop signal taken, 0 before the first.
    int signalNumber() const;

private:
    StopSignals m_signals;
};

} // namespace carrovex::posix
