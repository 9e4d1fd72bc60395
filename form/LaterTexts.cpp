#include "form/LaterTexts.h"

#include "store/IniStore.h"

#include <utility>

namespace carrovex
{

namespace
{

constexpr std::pair<LaterText, const char*> english[] = {
    {LaterText::ErrorsInLog, "Errors in the log"},
    {LaterText::ShowWindow, "&Show window"},
    {LaterText::SendToTray, "Close and minimise to the tray"},
    {LaterText::About, "&About"},
    {LaterText::Version, "Version %1"},
    {LaterText::Licence, "Licence: %1"},
    {LaterText::SaveFailed, "The settings could not be saved in %1: %2"},
    {LaterText::DestinationInSource,
        "The destination folder is the source folder or lies inside it. Choose another destination folder."},
    {LaterText::PlatformLanguage, "en"},
    {LaterText::CancelledCopy, "Cancelled: Copied %1 %2"},
    {LaterText::CancelledMove, "Cancelled: Moved %1 %2"},
    {LaterText::AlreadyRunning, "Carrovex already runs with the settings in %1."},
    {LaterText::StoppingAfterFile, "stopping after the file in hand"},
    {LaterText::NoSettingsFile, "there is no settings file %1"},
    {LaterText::UnreadableSettings, "cannot read the settings file %1: %2"},
    {LaterText::NoFolderSet, "no folder is set for %1 in %2"},
    {LaterText::NoSuchFolder, "the folder %1 (%2 in %3) does not exist"},
    {LaterText::UnusableFolders, "the folders of %1 cannot be used"},
    {LaterText::UnknownAction, "Action=%1 in %2 is neither Copy nor Move"},
    {LaterText::NotRegularFile, englishText(Problem::NotRegularFile)},
    {LaterText::ChangedWhileCopied, englishText(Problem::ChangedWhileCopied)},
    {LaterText::ChangedWhileMoved, englishText(Problem::ChangedWhileMoved)},
    {LaterText::CopyGone, englishText(Problem::CopyGone)},
    {LaterText::CopyChanged, englishText(Problem::CopyChanged)},
    {LaterText::NameRefused, englishText(Problem::NameRefused)},
    {LaterText::OpenForWriting, englishText(Problem::OpenForWriting)},
    {LaterText::RecentlyChanged, englishText(Problem::RecentlyChanged)},
    {LaterText::OutcomeUnknown, "The outcome of the transfer is unknown"},
    {LaterText::NotTheDiskItWas,
        "The destination folder %1 is not on the disk it was on (is that disk not mounted?); nothing was "
        "transferred"},
    {LaterText::DestinationDiskChanged, englishText(Problem::DestinationDiskChanged)},
    {LaterText::AnyDestinationDisk, "Accept another destination disk (rotating disks)"},
};

} // namespace

const char* englishText(LaterText key)
{
    for (const auto& [listed, text] : english) {
        if (listed == key) {
            return text;
        }
    }
    return "";
}

bool isLaterText(int key)
{
    for (const auto& entry : english) {
        if (static_cast<int>(entry.first) == key) {
            return true;
        }
    }
    return false;
}

std::string laterText(const IniStore& ini, LaterText key)
{
    return ini.ReadLanguageValue(
        "frmMain", "t" + std::to_string(static_cast<int>(key)), englishText(key), iniValueSize);
}

std::string problemText(const IniStore& ini, Problem problem)
{
    if (problem == Problem::DestinationDiskChanged) {
        return laterText(ini, LaterText::DestinationDiskChanged);
    }
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
