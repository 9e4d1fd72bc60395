#include "form/LaterTexts.h"

#include "store/BuiltInEnglish.h"
#include "store/IniStore.h"

namespace carrovex
{

std::string laterText(const IniStore& ini, LaterText key)
{
    return ini.ReadLanguageValue(
        "frmMain", "t" + std::to_string(static_cast<int>(key)), builtInEnglish(static_cast<int>(key)), iniValueSize);
}

std::string problemText(const IniStore& ini, Problem problem)
{
    return laterText(
        ini, static_cast<LaterText>(static_cast<int>(LaterText::NotRegularFile) + static_cast<int>(problem)));
}

std::string withArguments(const std::string& text, std::initializer_list<std::string> arguments)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char next = at + 1 < text.size() ? text[at + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (text[at] == '%' && next >= '1' && next <= '9' && index < arguments.size()) {
            out += *(arguments.begin() + index);
            ++at;
        } else {
            out += text[at];
        }
    }
    return out;
}

} // namespace carrovex
