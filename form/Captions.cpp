#include "form/Captions.h"

namespace carrovex
{

std::string stoppedCaption(const LanguageTexts& texts)
{
    return captionPrefix + texts[16];
}

std::string countdownCaption(const LanguageTexts& texts, long long minutesLeft)
{
    return captionPrefix + texts[14] + " (" + texts[17] + " " + std::to_string(minutesLeft) + " "
        + unitWord(texts, minutesLeft) + ")";
}

std::string runDueCaption(const LanguageTexts& texts)
{
    return captionPrefix + texts[15] + "!";
}

std::string runCaption(
    const LanguageTexts& texts, bool moving, const std::string& countText, const std::string& countWord)
{
    return captionPrefix + texts[15] + " (" + (moving ? texts[28] : texts[27]) + " " + countText + " " + countWord
        + ")";
}

std::string afterRunCaption(const LanguageTexts& texts)
{
    return captionPrefix + texts[14];
}

} // namespace carrovex
