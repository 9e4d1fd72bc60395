#include "form/LaterTexts.h"

#include "store/BuiltInEnglish.h"
#include "store/IniStore.h"

namespace carrovex
{

namespace
{

// The compiler names any problem left out here.
LaterText keyOf(Problem problem)
{
    switch (problem) {
    case Problem::NotRegularFile:
        return LaterText::NotRegularFile;
    case Problem::ChangedWhileCopied:
        return LaterText::ChangedWhileCopied;
    case Problem::ChangedWhileMoved:
        return LaterText::ChangedWhileMoved;
    case Problem::CopyGone:
        return LaterText::CopyGone;
    case Problem::CopyChanged:
        return LaterText::CopyChanged;
    case Problem::NameRefused:
        return LaterText::NameRefused;
    case Problem::OpenForWriting:
        return LaterText::OpenForWriting;
    case Problem::RecentlyChanged:
        return LaterText::RecentlyChanged;
    case Problem::LockedByAnother:
        return LaterText::LockedByAnother;
    case Problem::TakenByAnother:
        return LaterText::TakenByAnother;
    case Problem::TakenLeavingCopy:
        return LaterText::TakenLeavingCopy;
    case Problem::DestinationDiskChanged:
        return LaterText::DestinationDiskChanged;
    case Problem::NumberedNameTooLong:
        return LaterText::NumberedNameTooLong;
    }
    return LaterText::OutcomeUnknown;
}

} // namespace

std::string laterText(const IniStore& ini, LaterText key)
{
    return ini.ReadLanguageValue(
        "frmMain", "t" + std::to_string(static_cast<int>(key)), builtInEnglish(static_cast<int>(key)), iniValueSize);
}

std::string problemText(const IniStore& ini, Problem problem)
{
    return laterText(ini, keyOf(problem));
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
