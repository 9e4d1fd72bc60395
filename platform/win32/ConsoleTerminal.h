#pragma once

#include "platform/console/Terminal.h"
#include "platform/win32/ArrivalWatch.h"
#include "platform/win32/Handle.h"

#include <atomic>

namespace carrovex::win32
{

// The console's requests to stop, taken as the Linux console program takes SIGINT and SIGTERM: Ctrl+C
// stands for SIGINT, Ctrl+Break and closing the console (or logging off, or shutting down) for SIGTERM.
// The system ends the program a few seconds after the console's close event, whatever it does; until
// then the file in hand is finished. One terminal per program; questions are asked on the console.
class ConsoleTerminal final : public Terminal
{
public:
    ConsoleTerminal();
    ConsoleTerminal(const ConsoleTerminal&) = delete;
    ConsoleTerminal& operator=(const ConsoleTerminal&) = delete;
    ~ConsoleTerminal() override;

    Wake wait(std::optional<TimePoint> deadline) override;
    Status watchArrivals(const std::string& folder) override;
    bool stopTaken() override;
    int stopStatus() const override;
    // No console on standard input answers No.
    bool askYesNo(const std::string& question) override;

    // The signal number the last request stands for (2 or 15), 0 before the first.
    int signalNumber() const;

private:
    static BOOL WINAPI onControl(DWORD event);

    Handle m_stopRequested; // set by the system's control thread, taken by wait
    std::atomic<int> m_signalNumber {0};
    ArrivalWatch m_arrivals;
};

// The signal a console control event stands for: SIGINT (2) for Ctrl+C, SIGTERM (15) for the others.
int signalNumberFor(DWORD controlEvent);

} // namespace carrovex::win32
