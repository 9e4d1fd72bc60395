#include "tests/console/ProgramRun.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace carrovex::testing
{

namespace
{

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// An unnamed file that the child writes and the test reads.
int scratchFile()
{
    return ::open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

std::string contentOf(int fd)
{
    std::string content;
    char buffer[4096];
    for (ssize_t got; (got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(content.size()))) > 0;) {
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

} // namespace

ProgramRun::ProgramRun(const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment,
    Input input,
    const std::string& program)
    : m_output(scratchFile())
    , m_errorOutput(scratchFile())
{
    std::vector<std::string> argv {program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        envp.emplace_back(*variable);
    }
    envp.insert(envp.end(), environment.begin(), environment.end());
    std::vector<char*> argvPointers = pointersTo(argv);
    std::vector<char*> envpPointers = pointersTo(envp);
    int terminal = -1;
    if (m_output < 0 || m_errorOutput < 0
        || (input == Input::Terminal && ::openpty(&m_terminal, &terminal, nullptr, nullptr, nullptr) != 0)) {
        throw std::runtime_error("the program's outputs or terminal could not be made");
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        // The test may have blocked the stop signals; a program starts with none blocked.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        int pipeToNobody[2] = {-1, m_output};
        if (input == Input::ReaderGone && ::pipe(pipeToNobody) == 0) {
            ::close(pipeToNobody[0]);
        }
        ::dup2(terminal >= 0 ? terminal : ::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::dup2(pipeToNobody[1], STDOUT_FILENO);
        ::dup2(m_errorOutput, STDERR_FILENO);
        ::execve(argvPointers[0], argvPointers.data(), envpPointers.data());
        ::_exit(127);
    }
    if (terminal >= 0) {
        ::close(terminal);
    }
}

ProgramRun::~ProgramRun()
{
    if (m_status < 0 && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    for (const int fd : {m_output, m_errorOutput, m_terminal}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void ProgramRun::readOutputs()
{
    m_errors = contentOf(m_errorOutput);
    const std::string output = contentOf(m_output);
    m_lines.clear();
    std::size_t start = 0;
    for (auto end = output.find('\n'); end != std::string::npos; start = end + 1, end = output.find('\n', start)) {
        m_lines.push_back(output.substr(start, end - start));
    }
    m_rest = output.substr(start);
}

bool ProgramRun::nextLine(std::string& line)
{
    if (!within([this] {
            readOutputs();
            return m_lines.size() > m_linesTaken;
        })) {
        return false;
    }
    line = m_lines[m_linesTaken++];
    return true;
}

bool ProgramRun::waitForError(const std::string& text)
{
    return within([&] {
        readOutputs();
        return m_errors.find(text) != std::string::npos;
    });
}

void ProgramRun::signal(int number)
{
    ::kill(m_pid, number);
}

void ProgramRun::type(const std::string& text)
{
    if (::write(m_terminal, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("typing on the terminal failed");
    }
}

int ProgramRun::wait(int seconds)
{
    if (m_status >= 0) {
        return m_status;
    }
    int status = 0;
    if (!within([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, seconds)) {
        ::kill(m_pid, SIGKILL); // a hanging program ends the test, not the test run
        ::waitpid(m_pid, &status, 0);
    }
    readOutputs();
    if (!m_rest.empty()) {
        m_lines.push_back(m_rest);
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status;
}

} // namespace carrovex::testing
