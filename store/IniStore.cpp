#include "store/IniStore.h"

#include "platform/TextFiles.h"
#include "store/BuiltInEnglish.h"
#include "store/IniText.h"
#include "store/TextEncoding.h"
#include "store/Utf8.h"

#include <optional>

namespace carrovex
{

IniStore::IniStore(TextFiles& files)
    : m_files(files)
{
}

std::optional<std::string> IniStore::findValue(
    const std::string& path, const std::string& section, const std::string& key) const
{
    if (const auto content = m_files.readAll(path); content.ok() && content.value()) {
        return findIniValue(decodeFile(*content.value()).text, section, key);
    }
    return std::nullopt;
}

namespace
{

std::size_t limitOf(std::int16_t size)
{
    return size > 0 ? static_cast<std::size_t>(size - 1) : 0;
}

} // namespace

std::string IniStore::ReadIniValue(
    const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const
{
    return firstCodePoints(ReadWholeIniValue(section, key, defaultValue), limitOf(size));
}

std::string IniStore::ReadWholeIniValue(
    const std::string& section, const std::string& key, const std::string& defaultValue) const
{
    return findValue(settingsFile, section, key).value_or(defaultValue);
}

std::string IniStore::ReadLanguageValue(
    const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const
{
    std::optional<std::string> text = findValue(languageFile, section, key);
    if ((!text || text->empty()) && !languageFallbackFile.empty()) {
        text = findValue(languageFallbackFile, section, key);
    }
    return firstCodePoints(text && !text->empty() ? *text : defaultValue, limitOf(size));
}

Status IniStore::WriteIniValues(const std::string& section, const IniValues& values)
{
    for (const auto& [key, value] : values) {
        if (!isStorable(value)) {
            return Status::failure("the value of " + key + " is not one line of text");
        }
    }
    const auto content = m_files.readAll(settingsFile);
    if (!content.ok()) {
        return Status::failure(content.error()); // rewriting it would lose every other setting
    }
    DecodedText file;
    if (content.value()) {
        file = decodeFile(*content.value());
    }
    for (const auto& [key, value] : values) {
        // A Windows-1252 file stays one while the values fit; otherwise the whole file becomes UTF-8.
        if (file.encoding == FileEncoding::Windows1252 && !fitsWindows1252(value)) {
            file.encoding = FileEncoding::Utf8;
        }
        file.text = withIniValue(file.text, section, key, value);
    }
    return m_files.replaceAll(settingsFile, encodeFile(file.text, file.encoding));
}

void IniStore::WriteIniValue(const std::string& section, const std::string& key, const std::string& value)
{
    WriteIniValues(section, {{key, value}}).ok();
}

bool isStorable(const std::string& value)
{
    return isStorableIniValue(value) && isValidUtf8(value);
}

std::string readOption(const IniStore& ini, const std::string& key, const std::string& defaultValue)
{
    return ini.ReadIniValue("Options", key, defaultValue, iniValueSize);
}

std::string readFolderOption(const IniStore& ini, const std::string& key)
{
    return ini.ReadWholeIniValue("Options", key, "");
}

bool isOn(const IniStore& ini, const Switch& option)
{
    const std::string stored = readOption(ini, option.key, option.defaultOn ? "1" : "0");
    return stored == "1" || (stored != "0" && option.defaultOn);
}

std::string languageText(const IniStore& ini, int key)
{
    return ini.ReadLanguageValue("frmMain", "t" + std::to_string(key), builtInEnglish(key), iniValueSize);
}

} // namespace carrovex
