#include "platform/posix/TerminalQuestion.h"

#include "platform/common/YesNoQuestion.h"
#include "platform/posix/StopSignals.h"

#include <cerrno>
#include <optional>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

// One line typed on standard input, without its line end; nothing at its end or at a stop signal.
std::optional<std::string> readAnswer(StopSignals& signals)
{
    std::string answer;
    for (;;) {
        if (signals.wait(std::nullopt, STDIN_FILENO) == StopSignals::Wake::Signal) {
            return std::nullopt;
        }
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
            return std::nullopt;
        }
        if (got == 1 && c == '\n') {
            return answer;
        }
        if (got == 1 && c != '\r') {
            answer += c;
        }
    }
}

} // namespace

bool askOnTerminal(const std::string& question, StopSignals& signals)
{
    if (::isatty(STDIN_FILENO) == 0) {
        return false;
    }
    return askYesNo(question, [&signals] { return readAnswer(signals); });
}

} // namespace carrovex::posix
