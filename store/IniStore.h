#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace carrovex
{

class TextFiles;

using IniValues = std::vector<std::pair<std::string, std::string>>;

// The settings file and the active language file. Every call opens, reads or rewrites, and closes its
// file, so a value written is what the next read returns. A missing or unreadable file gives the defaults;
// a write that fails leaves the file as it was.
class IniStore
{
public:
    explicit IniStore(TextFiles& files);

    // Full paths of the settings file and of the active language file, read at every call.
    std::string settingsFile;
    std::string languageFile;
    // The program's own file of the active language where the user's file stands in front of it: it serves
    // the texts that the user's file lacks (an older, partial or damaged translation). Else empty.
    std::string languageFallbackFile;

    // The value, or the default when the file, section or key is missing; either cut to size - 1 characters.
    std::string ReadIniValue(
        const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const;
    // The same, never cut: a folder path cut short would name another folder.
    std::string ReadWholeIniValue(
        const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Sets every key in one replacement of the file, or none of them: a value that cannot be stored (see
    // isStorable), a file that exists but cannot be read, or a failed write leaves the file as it was, and
    // the failure says why.
    Status WriteIniValues(const std::string& section, const IniValues& values);
    // One key; a failure is not reported.
    void WriteIniValue(const std::string& section, const std::string& key, const std::string& value);
    // The text from the active language file, else from its fallback file, else the default. An empty text
    // counts as missing: a blank caption or outcome word is never what a translator meant.
    std::string ReadLanguageValue(
        const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const;

private:
    std::optional<std::string> findValue(
        const std::string& path, const std::string& section, const std::string& key) const;

    TextFiles& m_files;
};

// Every caller passes this size, so that a value is at most 255 characters long.
inline constexpr std::int16_t iniValueSize = 256;

// One line of valid UTF-8: anything else would break the file or not read back as written.
bool isStorable(const std::string& value);

// A key of the settings file's one section, "Options".
std::string readOption(const IniStore& ini, const std::string& key, const std::string& defaultValue);

// A folder of the settings file ("From", "To"), whole however long; empty when none is stored.
std::string readFolderOption(const IniStore& ini, const std::string& key);

// A switch of the settings file with the one default that every reader of it uses.
struct Switch {
    const char* key;
    bool defaultOn;
};

inline constexpr Switch saveOnClose {"Save", true};
inline constexpr Switch askBeforeSaving {"Question", false};
inline constexpr Switch runOnStart {"DoActionOnStart", false};
inline constexpr Switch sendToTray {"SendToTray", false};
inline constexpr Switch anyDestinationDisk {"AnyDestinationDisk", false};
inline constexpr Switch runOnArrival {"RunOnArrival", false};
inline constexpr Switch keepBoth {"KeepBoth", false};

// "1" is on and "0" off; anything else, a missing key included, is the switch's default.
bool isOn(const IniStore& ini, const Switch& option);

// The text of key tN of the active language, in English where its files lack it.
std::string languageText(const IniStore& ini, int key);

} // namespace carrovex
