#pragma once

#include "form/LanguageTexts.h"

#include <string>

namespace carrovex
{

inline constexpr const char* captionPrefix = "Carrovex Lite - ";

std::string stoppedCaption(const LanguageTexts& texts);
std::string countdownCaption(const LanguageTexts& texts, long long minutesLeft);
std::string runDueCaption(const LanguageTexts& texts);
std::string runCaption(
    const LanguageTexts& texts, bool moving, const std::string& countText, const std::string& countWord);
std::string afterRunCaption(const LanguageTexts& texts);

} // namespace carrovex
