#pragma once

#include "platform/win32/Handle.h"

#include <string>
#include <thread>
#include <vector>

namespace carrovex::testing
{

// The console program beside the tests' build folder, and the window program.
std::wstring consoleProgram();
std::wstring windowProgram();

// The Windows console program running as a child process, as a user or a script starts it: standard input
// from nowhere, standard output and error read by the test. It shares the test's console, where there is
// one, so that the console's control events reach it.
class ProgramRun
{
public:
    explicit ProgramRun(const std::vector<std::string>& arguments, const std::wstring& program = consoleProgram());
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    // Reads the rest of both outputs and returns the exit status; a program still running after the
    // seconds is ended.
    int wait(int seconds = 60);

    // Every line of standard output, without its line end ("\r\n" in a Windows program's text mode).
    const std::vector<std::string>& lines() const
    {
        return m_lines;
    }
    const std::string& errors() const
    {
        return m_errors;
    }

private:
    win32::Handle m_process;
    win32::Handle m_output;
    win32::Handle m_errorOutput;
    std::string m_outputText;
    // Both outputs are read as they come: a full pipe would stop the program.
    std::thread m_outputReader;
    std::thread m_errorReader;
    std::vector<std::string> m_lines;
    std::string m_errors;
    int m_status = -1;
};

} // namespace carrovex::testing
