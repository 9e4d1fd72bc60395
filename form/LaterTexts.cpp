#include "form/LaterTexts.h"

#include "store/IniStore.h"

#include <array>

namespace carrovex
{

namespace
{

constexpr std::array<const char*, lastLaterText - firstLaterText + 1> english = {
    "Errors in the log",
    "&Show window",
    "Close and minimise to the tray",
    "&About",
    "Version %1",
    "Licence: %1",
    "The settings could not be saved in %1: %2",
    "The destination folder is the source folder or lies inside it. Choose another destination folder.",
    "en",
    "Cancelled: Copied %1 %2",
    "Cancelled: Moved %1 %2",
    "Carrovex already runs with the settings in %1.",
    "stopping after the file in hand",
    "there is no settings file %1",
    "cannot read the settings file %1: %2",
    "no folder is set for %1 in %2",
    "the folder %1 (%2 in %3) does not exist",
    "the folders of %1 cannot be used",
    "Action=%1 in %2 is neither Copy nor Move",
    englishText(Problem::NotRegularFile),
    englishText(Problem::ChangedWhileCopied),
    englishText(Problem::ChangedWhileMoved),
    englishText(Problem::CopyGone),
    englishText(Problem::CopyChanged),
    englishText(Problem::NameRefused),
    englishText(Problem::OpenForWriting),
    englishText(Problem::RecentlyChanged),
    "The outcome of the transfer is unknown",
    englishText(Problem::LockedByAnother),
    englishText(Problem::TakenByAnother),
    englishText(Problem::TakenLeavingCopy),
};

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
    }
    return LaterText::OutcomeUnknown;
}

} // namespace

const char* englishText(LaterText key)
{
    return english[static_cast<std::size_t>(static_cast<int>(key) - firstLaterText)];
}

std::string laterText(const IniStore& ini, LaterText key)
{
    return ini.ReadLanguageValue(
        "frmMain", "t" + std::to_string(static_cast<int>(key)), englishText(key), iniValueSize);
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
