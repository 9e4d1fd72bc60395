#pragma once

#include "form/LanguageTexts.h"

#include <string>

namespace carrovex::testing
{

// Texts that name their own key ("t0" to "t38"), so that a test can see which key made a line.
inline LanguageTexts numberedTexts()
{
    LanguageTexts texts;
    for (std::size_t key = 0; key < texts.size(); ++key) {
        texts[key] = "t" + std::to_string(key);
    }
    return texts;
}

} // namespace carrovex::testing
