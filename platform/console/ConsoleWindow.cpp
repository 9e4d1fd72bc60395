#include "platform/console/ConsoleWindow.h"

#include "platform/console/ConsoleText.h"
#include "platform/console/Terminal.h"

namespace carrovex
{

using Clock = std::chrono::steady_clock;

ConsoleWindow::ConsoleWindow(std::FILE* log,
    Terminal& terminal,
    std::chrono::milliseconds tickPeriod,
    std::chrono::milliseconds signalPeriod,
    std::chrono::milliseconds quietPeriod)
    : m_log(log)
    , m_terminal(terminal)
    , m_tickPeriod(tickPeriod)
    , m_signalPeriod(signalPeriod)
    , m_quietPeriod(quietPeriod)
    , m_nextTick(Clock::now() + tickPeriod)
    , m_nextSignalLook(Clock::now())
{
}

// A line is final when the next one comes after it.
void ConsoleWindow::appendLine(const std::string& line)
{
    writePendingLine();
    WindowModel::appendLine(line);
    m_pendingLine = line;
}

void ConsoleWindow::removeLastLine()
{
    WindowModel::removeLastLine();
    m_pendingLine.reset();
}

void ConsoleWindow::printPendingLine()
{
    writePendingLine();
    flushLog();
}

void ConsoleWindow::writePendingLine()
{
    if (!m_pendingLine) {
        return;
    }
    // A reader that has gone away (a closed pipe) must not stop the files from being handled.
    writeText(m_log, *m_pendingLine + '\n');
    m_unflushed = true;
    m_pendingLine.reset();
}

// One write for the lines of a batch rather than one for each.
void ConsoleWindow::flushLog()
{
    if (m_unflushed) {
        std::fflush(m_log);
        m_unflushed = false;
    }
}

// Called by a run twice per file: a request to stop cancels the run after the file in hand. Each look is a
// system call, which for small files adds up, so a look waits for the signal period.
void ConsoleWindow::processEvents()
{
    flushLog();
    WindowModel::processEvents();
    const auto now = Clock::now();
    if (now < m_nextSignalLook) {
        return;
    }
    m_nextSignalLook = now + m_signalPeriod;
    if (m_terminal.stopTaken()) {
        writeText(stderr, "carrovex-console: " + m_stoppingText + '\n');
        requestClose();
    }
}

// Switching the timer on starts a full period, as the window's timer does.
void ConsoleWindow::setTimerEnabled(bool enabled)
{
    WindowModel::setTimerEnabled(enabled);
    m_nextTick = Clock::now() + m_tickPeriod;
}

Status ConsoleWindow::watchArrivals(const std::string& folder)
{
    const Status watching = m_terminal.watchArrivals(folder);
    static_cast<void>(WindowModel::watchArrivals(watching.ok() ? folder : std::string()));
    return watching;
}

bool ConsoleWindow::askYesNo(const std::string& prompt, const std::string& title)
{
    flushLog();
    return m_terminal.askYesNo(title + ": " + prompt);
}

void ConsoleWindow::showMessage(const std::string& text, const std::string& title)
{
    WindowModel::showMessage(text, title);
    flushLog();
    writeText(stderr, "carrovex-console: " + text + '\n');
}

void ConsoleWindow::setStoppingText(const std::string& text)
{
    m_stoppingText = text;
}

std::optional<Clock::time_point> ConsoleWindow::nextDeadline() const
{
    if (timerEnabled() && (!m_quietAt || m_nextTick < *m_quietAt)) {
        return m_nextTick;
    }
    return m_quietAt;
}

void ConsoleWindow::runUntilClosed()
{
    while (!isClosed()) {
        const Terminal::Wake wake = m_terminal.wait(nextDeadline());
        const auto now = Clock::now();
        if (wake == Terminal::Wake::Stop) {
            requestClose();
        } else if (wake == Terminal::Wake::Arrival) {
            // Each arrival puts the report off, so that a burst of files brings one run.
            m_quietAt = now + m_quietPeriod;
        } else if (m_quietAt && *m_quietAt <= now) {
            m_quietAt.reset();
            if (!arrive()) {
                m_quietAt = now + m_quietPeriod;
            }
        } else {
            // A tick that comes late (the machine was busy) does not bring the ticks it missed.
            m_nextTick += m_tickPeriod;
            if (m_nextTick <= now) {
                m_nextTick = now + m_tickPeriod;
            }
            tick();
        }
        printPendingLine();
    }
}

} // namespace carrovex
