#pragma once

#include <string>
#include <vector>

namespace carrovex::testing
{

// The console program running as a child process, as a user or a script starts it: standard input from
// /dev/null or a terminal the test types on, standard output and error read by the test.
class ProgramRun
{
public:
    enum class Input { Nothing, Terminal };

    // Starts the program (the console program unless named) with the arguments; each of environment is
    // "NAME=value", added to the test's own.
    explicit ProgramRun(const std::vector<std::string>& arguments,
        const std::vector<std::string>& environment = {},
        Input input = Input::Nothing,
        const std::string& program = CARROVEX_CONSOLE);
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    // Waits for the next line of standard output, for at most 30 seconds; false at its end or time-out.
    bool nextLine(std::string& line);
    void signal(int number);
    // Waits up to 30 seconds for the text on standard error; false when it does not come.
    bool waitForError(const std::string& text);
    // Types on the program's terminal.
    void type(const std::string& text);
    // Stops reading standard output, as a reader that goes away does; the program's writes then fail.
    void closeOutput();
    // Reads the rest of both outputs and returns the exit status (128 plus the number of a killing
    // signal); a program still running after 30 seconds is killed.
    int wait();

    // Every line of standard output read so far.
    const std::vector<std::string>& lines() const
    {
        return m_lines;
    }
    const std::string& errors() const
    {
        return m_errors;
    }

private:
    bool readSome(int timeoutMilliseconds);

    int m_pid = -1;
    int m_output = -1;
    int m_errorOutput = -1;
    int m_terminal = -1; // the test's side of the program's terminal
    std::string m_outputBuffer;
    std::vector<std::string> m_lines;
    std::size_t m_linesTaken = 0; // by nextLine
    std::string m_errors;
    int m_status = -1;
};

} // namespace carrovex::testing
