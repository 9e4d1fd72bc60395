#pragma once

#include <array>
#include <string>

namespace carrovex
{

// The main window's texts t0 to t38 of the active language; element N holds the text of key tN.
using LanguageTexts = std::array<std::string, 39>;

// [t4] for exactly one minute, [t5] for every other number.
const std::string& unitWord(const LanguageTexts& texts, long long minutes);

} // namespace carrovex
