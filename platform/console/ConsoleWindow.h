#pragma once

#include "platform/model/WindowModel.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace carrovex
{

class Terminal;

// The main window on a terminal: the window kept in memory, its minute timer driven by the real clock,
// the terminal's requests to stop taken as the close box. Each log line is printed once it is final: a line
// that the logic replaces (the placeholder of a file, its progress line) is never printed. The lines that
// came since the logic last let events run reach the log together, when it lets them run again (the lines
// of a batch come at once), and before any wait. During a run a request to stop is looked for at most once
// per signal period, as the window lets events run at most every 15 ms: a request is taken within that
// time, and the run stops after the file then in hand.
class ConsoleWindow final : public WindowModel
{
public:
    ConsoleWindow(std::FILE* log,
        Terminal& terminal,
        std::chrono::milliseconds tickPeriod = std::chrono::minutes(1),
        std::chrono::milliseconds signalPeriod = std::chrono::milliseconds(10),
        std::chrono::milliseconds quietPeriod = arrivalQuietPeriod);

    void appendLine(const std::string& line) override;
    void removeLastLine() override;
    void processEvents() override;
    void setTimerEnabled(bool enabled) override;
    Status watchArrivals(const std::string& folder) override;
    // On the terminal when standard input is one; otherwise No.
    bool askYesNo(const std::string& prompt, const std::string& title) override;
    // One line on standard error.
    void showMessage(const std::string& text, const std::string& title) override;

    // What standard error says when a stop signal comes during a run.
    void setStoppingText(const std::string& text);

    // Prints the last line and hands every printed line to the log; call when the logic has returned, so
    // that nothing replaces the last line any more.
    void printPendingLine();

    // Ticks the timer, reports arrived files once the folder has been quiet for the quiet period, and turns
    // requests to stop into close requests until the window is closed.
    void runUntilClosed();

private:
    void writePendingLine();
    void flushLog();
    std::optional<std::chrono::steady_clock::time_point> nextDeadline() const;

    std::FILE* m_log;
    Terminal& m_terminal;
    std::chrono::milliseconds m_tickPeriod;
    std::chrono::milliseconds m_signalPeriod;
    std::chrono::milliseconds m_quietPeriod;
    std::chrono::steady_clock::time_point m_nextTick;
    std::chrono::steady_clock::time_point m_nextSignalLook;
    std::optional<std::chrono::steady_clock::time_point> m_quietAt; // arrivals are reported then
    std::optional<std::string> m_pendingLine;
    bool m_unflushed = false;
    std::string m_stoppingText = "stopping after the file in hand";
};

} // namespace carrovex
