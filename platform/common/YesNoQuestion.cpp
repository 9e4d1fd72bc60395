#include "platform/common/YesNoQuestion.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace carrovex
{

namespace
{

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

bool askYesNo(const std::string& question, const std::function<std::optional<std::string>()>& readLine)
{
    for (;;) {
        std::fprintf(stderr, "%s [Y/n] ", question.c_str());
        std::fflush(stderr);
        const std::optional<std::string> answer = readLine();
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

} // namespace carrovex
