// Feeds arbitrary bytes through every read of the settings and language files and through a write:
// nothing may crash or hang, a value written must read back as written, and a value the write did not
// touch must read as before.
#include "store/IniStore.h"
#include "tests/fakes/MemoryTextFiles.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

using carrovex::IniStore;
using carrovex::iniValueSize;
using carrovex::testing::MemoryTextFiles;

// A value the store can keep: one line, no blanks at either end, valid in the program's own text.
std::string storableValueFrom(const std::string& bytes)
{
    std::string value;
    for (const char c : bytes.substr(0, 64)) {
        if (c >= 0x21 && c <= 0x7E) {
            value += c;
        }
    }
    return value + "Zürich東京";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryTextFiles files;
    files.files["/prog/Carrovex.ini"] = bytes;
    files.files["/prog/lang/Deutsch.dat"] = bytes;
    IniStore ini(files);
    ini.settingsFile = "/prog/Carrovex.ini";
    ini.languageFile = "/prog/lang/Deutsch.dat";

    for (const char* key : {"From", "To", "Interval", "Language", "ShowLog"}) {
        ini.ReadIniValue("Options", key, "default", iniValueSize);
    }
    for (int key = 0; key <= 44; ++key) {
        ini.ReadLanguageValue("frmMain", "t" + std::to_string(key), "", iniValueSize);
    }

    const std::string untouched = ini.ReadIniValue("Options", "To", "default", iniValueSize);
    const std::string value = storableValueFrom(bytes);
    ini.WriteIniValue("Options", "From", value);
    if (ini.ReadIniValue("Options", "From", "default", iniValueSize) != value.substr(0, 255)
        || ini.ReadIniValue("Options", "To", "default", iniValueSize) != untouched) {
        std::abort();
    }
    return 0;
}
