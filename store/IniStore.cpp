#include "store/IniStore.h"

#include "platform/TextFiles.h"
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

std::string IniStore::readValue(const std::string& path,
    const std::string& section,
    const std::string& key,
    const std::string& defaultValue,
    std::int16_t size) const
{
    std::optional<std::string> value;
    if (const auto content = m_files.readAll(path); content.ok() && content.value()) {
        value = findIniValue(decodeFile(*content.value()).text, section, key);
    }
    const std::size_t limit = size > 0 ? static_cast<std::size_t>(size - 1) : 0;
    return firstCodePoints(value.value_or(defaultValue), limit);
}

std::string IniStore::ReadIniValue(
    const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const
{
    return readValue(settingsFile, section, key, defaultValue, size);
}

std::string IniStore::ReadLanguageValue(
    const std::string& section, const std::string& key, const std::string& defaultValue, std::int16_t size) const
{
    return readValue(languageFile, section, key, defaultValue, size);
}

void IniStore::WriteIniValue(const std::string& section, const std::string& key, const std::string& value)
{
    if (!isStorableIniValue(value) || !isValidUtf8(value)) {
        return;
    }
    const auto content = m_files.readAll(settingsFile);
    if (!content.ok()) {
        return; // rewriting a file that cannot be read would lose every other setting
    }
    DecodedText file;
    if (content.value()) {
        file = decodeFile(*content.value());
    }
    // A Windows-1252 file stays one while the value fits; otherwise the whole file becomes UTF-8.
    if (file.encoding == FileEncoding::Windows1252 && !fitsWindows1252(value)) {
        file.encoding = FileEncoding::Utf8;
    }
    const std::string updated = withIniValue(file.text, section, key, value);
    m_files.replaceAll(settingsFile, encodeFile(updated, file.encoding)).ok();
}

std::string readOption(const IniStore& ini, const std::string& key, const std::string& defaultValue)
{
    return ini.ReadIniValue("Options", key, defaultValue, iniValueSize);
}

std::string languageText(const IniStore& ini, int key)
{
    return ini.ReadLanguageValue("frmMain", "t" + std::to_string(key), "", iniValueSize);
}

} // namespace carrovex
