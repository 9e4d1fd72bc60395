#pragma once

#include <cstdint>
#include <string>

namespace carrovex
{

class TextFiles;

// The settings file and the active language file, read and written key by key. Every call opens, reads
// or rewrites, and closes its file, so a value written is what the next read returns. Nothing is ever
// reported: a missing or unreadable file gives the defaults, a write that fails leaves the file as it was.
class IniStore
{
public:
    explicit IniStore(TextFiles& files);

    // Full paths of the settings file and of the active language file, read at every call.
    std::string settingsFile;
    std::string languageFile;

    // The value, or the default when the file, section or key is missing; either cut to size - 1 characters.
    std::string ReadIniValue(
        const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const;
    void WriteIniValue(const std::string& section, const std::string& key, const std::string& value);
    std::string ReadLanguageValue(
        const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const;

private:
    std::string readValue(const std::string& path,
        const std::string& section,
        const std::string& key,
        const std::string& defaultValue,
        std::int16_t size) const;

    TextFiles& m_files;
};

// Every caller passes this size, so that a value is at most 255 characters long.
inline constexpr std::int16_t iniValueSize = 256;

// A key of the settings file's one section, "Options".
std::string readOption(const IniStore& ini, const std::string& key, const std::string& defaultValue);

// The text of key tN of the active language file; empty when the file or the key is missing.
std::string languageText(const IniStore& ini, int key);

} // namespace carrovex
