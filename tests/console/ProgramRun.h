#pragma once

#include <functional>
#include <string>
#include <vector>

namespace carrovex::testing
{

// Checks every millisecond, for up to 30 seconds, until done() says so; false when it never did.
bool within30Seconds(const std::function<bool()>& done);

// A program running as a child process, as a user or a script starts it: standard input from /dev/null or
// a terminal the test types on, standard output and error kept for the test.
class ProgramRun
{
public:
    // Terminal: standard input is a terminal the test types on. ReaderGone: standard output is a pipe whose
    // reader has gone away, so every write to it fails.
    enum class Input { Nothing, Terminal, ReaderGone };

    // Starts the program (the console program unless named) with the arguments; each of environment is
    // "NAME=value", added to the test's own.
    explicit ProgramRun(const std::vector<std::string>& arguments,
        const std::vector<std::string>& environment = {},
        Input input = Input::Nothing,
        const std::string& program = CARROVEX_CONSOLE);
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    // Waits up to 30 seconds for the next line of standard output; false when it does not come.
    bool nextLine(std::string& line);
    // Waits up to 30 seconds for the text on standard error; false when it does not come.
    bool waitForError(const std::string& text);
    void signal(int number);
    void type(const std::string& text);
    // Waits for the end and returns the exit status (128 plus the number of a killing signal); a program
    // still running after 30 seconds is killed.
    int wait();

    // Every whole line of standard output so far, and at the end the last one without its line end.
    const std::vector<std::string>& lines() const
    {
        return m_lines;
    }
    const std::string& errors() const
    {
        return m_errors;
    }

private:
    void readOutputs();

    int m_pid = -1;
    int m_output = -1; // files the program writes to, read from their start every time
    int m_errorOutput = -1;
    int m_terminal = -1; // the test's side of the program's terminal
    std::vector<std::string> m_lines;
    std::string m_rest; // after the last line end
    std::size_t m_linesTaken = 0; // by nextLine
    std::string m_errors;
    int m_status = -1;
};

} // namespace carrovex::testing
