#include "platform/win32/ConsoleTerminal.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

// Wine cannot make the other events; the programs' tests show Ctrl+C's status.
TEST(ConsoleTerminal, ControlEventsStandForTheSignalsOfTheLinuxProgram)
{
    EXPECT_EQ(win32::signalNumberFor(CTRL_C_EVENT), 2); // SIGINT: status 130
    for (const DWORD stop : {CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT}) {
        EXPECT_EQ(win32::signalNumberFor(stop), 15) << stop; // SIGTERM: status 143
    }
}

TEST(ConsoleTerminal, WaitsUntilTheDeadlineWithoutARequestAndAsksNothingWithoutAConsole)
{
    win32::ConsoleTerminal terminal;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(terminal.wait(start + std::chrono::milliseconds(50)), Terminal::Wake::Deadline);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(terminal.wait(start), Terminal::Wake::Deadline); // a deadline that has passed only looks
    EXPECT_EQ(terminal.signalNumber(), 0);
    if (::GetConsoleCP() == 0) {
        EXPECT_FALSE(terminal.askYesNo("Save?"));
    }
}

} // namespace

} // namespace carrovex::testing
