#include "store/BuiltInEnglish.h"

#include "store/IniText.h"

namespace carrovex
{

// lang/English.dat as the build found it.
extern const char builtInEnglishFile[];

std::string builtInEnglish(int key)
{
    return findIniValue(builtInEnglishFile, "frmMain", "t" + std::to_string(key)).value_or("");
}

} // namespace carrovex
