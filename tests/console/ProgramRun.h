#pragma once

#ifdef _WIN32
#include "platform/win32/Handle.h"
#endif

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace carrovex::testing
{

// How long a test waits for a program, in seconds: Wine now and then takes about 30 s to start one, for
// reasons of its own.
#ifdef _WIN32
inline constexpr int patience = 90;
#else
inline constexpr int patience = 30;
#endif

// Checks every millisecond, for up to the seconds, until done() says so; false when it never did.
inline bool within(const std::function<bool()>& done, int seconds = patience)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

#ifdef _WIN32
// The console program beside the tests' build folder, and the window program.
std::wstring consoleProgram();
std::wstring windowProgram();
#endif

// A program running as a child process, as a user or a script starts it: standard input from nowhere (or,
// on Linux, a terminal the test types on), standard output and error kept for the test. On Windows it shares
// the test's console, where there is one, so that the console's control events reach it.
class ProgramRun
{
public:
#ifdef _WIN32
    explicit ProgramRun(const std::vector<std::string>& arguments, const std::wstring& program = consoleProgram());
#else
    // Terminal: standard input is a terminal the test types on. ReaderGone: standard output is a pipe whose
    // reader has gone away, so every write to it fails.
    enum class Input { Nothing, Terminal, ReaderGone };

    // Starts the program (the console program unless named) with the arguments; each of environment is
    // "NAME=value", added to the test's own.
    explicit ProgramRun(const std::vector<std::string>& arguments,
        const std::vector<std::string>& environment = {},
        Input input = Input::Nothing,
        const std::string& program = CARROVEX_CONSOLE);
#endif
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    // Waits for the end and returns the exit status (on Linux 128 plus the number of a killing signal); a
    // program still running after the seconds is ended.
    int wait(int seconds = patience);
#ifndef _WIN32
    // Waits up to 30 seconds for the next line of standard output; false when it does not come.
    bool nextLine(std::string& line);
    // Waits up to 30 seconds for the text on standard error; false when it does not come.
    bool waitForError(const std::string& text);
    void signal(int number);
    void type(const std::string& text);
#endif

    // Every whole line of standard output so far, and at the end the last one without its line end ("\r\n"
    // in a Windows program's text mode).
    const std::vector<std::string>& lines() const
    {
        return m_lines;
    }
    const std::string& errors() const
    {
        return m_errors;
    }

private:
#ifdef _WIN32
    win32::Handle m_process;
    win32::Handle m_output;
    win32::Handle m_errorOutput;
    std::string m_outputText;
    // Both outputs are read as they come: a full pipe would stop the program.
    std::thread m_outputReader;
    std::thread m_errorReader;
#else
    void readOutputs();

    int m_pid = -1;
    int m_output = -1; // files the program writes to, read from their start every time
    int m_errorOutput = -1;
    int m_terminal = -1; // the test's side of the program's terminal
    std::string m_rest; // after the last line end
    std::size_t m_linesTaken = 0; // by nextLine
#endif
    std::vector<std::string> m_lines;
    std::string m_errors;
    int m_status = -1;
};

} // namespace carrovex::testing
