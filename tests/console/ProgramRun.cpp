#include "tests/console/ProgramRun.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace carrovex::testing
{

namespace
{

constexpr int patienceMilliseconds = 30'000;

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ProgramRun::ProgramRun(const std::vector<std::string>& arguments,
    const std::vector<std::string>& environment,
    Input input,
    const std::string& program)
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

    int output[2];
    int errorOutput[2];
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(errorOutput, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    int terminal = -1;
    if (input == Input::Terminal) {
        if (::openpty(&m_terminal, &terminal, nullptr, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        ::fcntl(m_terminal, F_SETFD, FD_CLOEXEC);
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        // The test may have blocked the stop signals; a program starts with none blocked.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::dup2(terminal >= 0 ? terminal : ::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(errorOutput[1], STDERR_FILENO);
        ::execve(argvPointers[0], argvPointers.data(), envpPointers.data());
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(errorOutput[1]);
    if (terminal >= 0) {
        ::close(terminal);
    }
    m_output = output[0];
    m_errorOutput = errorOutput[0];
}

ProgramRun::~ProgramRun()
{
    if (m_status < 0 && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        try {
            wait();
        } catch (const std::exception&) {
            // A test that failed already; nothing more to reap.
        }
    }
    if (m_terminal >= 0) {
        ::close(m_terminal);
    }
}

// Reads what either output has; false when both have ended or nothing came in time.
bool ProgramRun::readSome(int timeoutMilliseconds)
{
    pollfd watched[] = {{m_output, POLLIN, 0}, {m_errorOutput, POLLIN, 0}};
    if (m_output < 0 && m_errorOutput < 0) {
        return false;
    }
    if (::poll(watched, 2, timeoutMilliseconds) <= 0) {
        return false;
    }
    for (pollfd& watch : watched) {
        if (watch.fd < 0 || watch.revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(watch.fd, buffer, sizeof buffer);
        if (got <= 0) {
            ::close(watch.fd);
            (watch.fd == m_output ? m_output : m_errorOutput) = -1;
            continue;
        }
        if (watch.fd == m_errorOutput) {
            m_errors.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        m_outputBuffer.append(buffer, static_cast<std::size_t>(got));
        for (auto end = m_outputBuffer.find('\n'); end != std::string::npos; end = m_outputBuffer.find('\n')) {
            m_lines.push_back(m_outputBuffer.substr(0, end));
            m_outputBuffer.erase(0, end + 1);
        }
    }
    return true;
}

bool ProgramRun::nextLine(std::string& line)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMilliseconds);
    while (m_linesTaken == m_lines.size()) {
        if (std::chrono::steady_clock::now() > giveUp || !readSome(patienceMilliseconds)) {
            return false;
        }
    }
    line = m_lines[m_linesTaken++];
    return true;
}

void ProgramRun::signal(int number)
{
    ::kill(m_pid, number);
}

bool ProgramRun::waitForError(const std::string& text)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMilliseconds);
    while (m_errors.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > giveUp || !readSome(patienceMilliseconds)) {
            return false;
        }
    }
    return true;
}

void ProgramRun::closeOutput()
{
    ::close(m_output);
    m_output = -1;
}

void ProgramRun::type(const std::string& text)
{
    if (::write(m_terminal, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("typing on the terminal failed");
    }
}

int ProgramRun::wait()
{
    if (m_status >= 0) {
        return m_status;
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMilliseconds);
    while (m_output >= 0 || m_errorOutput >= 0) {
        if (!readSome(patienceMilliseconds) || std::chrono::steady_clock::now() > giveUp) {
            ::kill(m_pid, SIGKILL); // a hanging program ends the test, not the test run
        }
    }
    int status = 0;
    if (::waitpid(m_pid, &status, 0) != m_pid) {
        throw std::runtime_error("waitpid failed");
    }
    if (!m_outputBuffer.empty()) {
        m_lines.push_back(m_outputBuffer); // a last line without its line end
        m_outputBuffer.clear();
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status;
}

} // namespace carrovex::testing
