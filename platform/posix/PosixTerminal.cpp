#include "platform/posix/PosixTerminal.h"

#include "platform/posix/TerminalQuestion.h"

namespace carrovex::posix
{

Terminal::Wake PosixTerminal::wait(std::optional<TimePoint> deadline)
{
    for (;;) {
        switch (m_signals.wait(deadline, m_arrivals.descriptor())) {
        case StopSignals::Wake::Signal:
            return Wake::Stop;
        case StopSignals::Wake::Deadline:
            return Wake::Deadline;
        case StopSignals::Wake::Input:
            // What the watch read may be only the end of a folder watched before.
            if (m_arrivals.take()) {
                return Wake::Arrival;
            }
            break;
        }
    }
}

Status PosixTerminal::watchArrivals(const std::string& folder)
{
    return m_arrivals.watch(folder);
}

bool PosixTerminal::stopTaken()
{
    return m_signals.taken();
}

int PosixTerminal::stopStatus() const
{
    return 128 + m_signals.signalNumber();
}

bool PosixTerminal::askYesNo(const std::string& question)
{
    return askOnTerminal(question, m_signals);
}

int PosixTerminal::signalNumber() const
{
    return m_signals.signalNumber();
}

} // namespace carrovex::posix
