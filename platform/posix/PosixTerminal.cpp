#include "platform/posix/PosixTerminal.h"

#include "platform/posix/TerminalQuestion.h"

namespace carrovex::posix
{

Terminal::Wake PosixTerminal::wait(std::optional<TimePoint> deadline)
{
    return m_signals.wait(deadline) == StopSignals::Wake::Signal ? Wake::Stop : Wake::Deadline;
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
