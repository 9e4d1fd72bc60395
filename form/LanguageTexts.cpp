#include "form/LanguageTexts.h"

namespace carrovex
{

const std::string& unitWord(const LanguageTexts& texts, long long minutes)
{
    return minutes == 1 ? texts[4] : texts[5];
}

} // namespace carrovex
