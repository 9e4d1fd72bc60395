#include "platform/win32/ConsoleTerminal.h"

#include "tests/win32/WinDisk.h"

#include <filesystem>
#include <fstream>
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

// A file made in the watched folder ends a wait; one that leaves it (as the program's own moves do) does not.
TEST(ConsoleTerminal, ArrivalsInTheWatchedFolderEndAWait)
{
    using namespace std::chrono_literals;
    TempFolder temp;
    win32::ConsoleTerminal terminal;
    const auto in = [](std::chrono::milliseconds time) { return std::chrono::steady_clock::now() + time; };
    ASSERT_TRUE(terminal.watchArrivals(temp.path()).ok());

    std::ofstream(temp.path() + "\\a.txt") << "a";
    EXPECT_EQ(terminal.wait(in(5000ms)), Terminal::Wake::Arrival);
    while (terminal.wait(in(500ms)) == Terminal::Wake::Arrival) { }
    std::filesystem::remove(temp.path() + "\\a.txt");
    EXPECT_EQ(terminal.wait(in(1000ms)), Terminal::Wake::Deadline);
    EXPECT_FALSE(terminal.watchArrivals(temp.path() + "\\missing").ok());
}

} // namespace

} // namespace carrovex::testing
