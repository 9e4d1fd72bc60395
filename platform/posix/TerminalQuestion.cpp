#include "platform/posix/TerminalQuestion.h"

#include "platform/posix/StopSignals.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

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
    for (;;) {
        std::fprintf(stderr, "%s [Y/n] ", question.c_str());
        std::fflush(stderr);
        const std::optional<std::string> answer = readAnswer(signals);
        if (!answer) {
            std::fputc('\n', stderr);
            return false;
        }
        const std::string word = lowerCase(*answer);
        if (word.empty() || word == "y" || word == "yes" || word == "j" || word == "ja") {
            return true;
        }
        if (word == "n" || word == "no" || word == "nein") {
            return false;
        }
    }
}

} // namespace carrovex::posix
