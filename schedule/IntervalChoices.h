#pragma once

#include "form/LanguageTexts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace carrovex
{

struct MainForm;

inline constexpr std::array<std::int32_t, 13> intervalChoices = {1, 2, 3, 5, 10, 15, 20, 30, 45, 60, 120, 180, 240};
inline constexpr std::int32_t longestInterval = 32767;
inline constexpr std::int32_t defaultInterval = 5;

// "5 minutes": the number, a blank and its unit word.
std::string intervalText(const LanguageTexts& texts, std::int32_t minutes);

// The interval text with every blank-and-plural-word removed, then every blank-and-singular-word, without
// regard to case; the plural goes first so that "Minuten" leaves nothing of "Minute" behind.
std::string withoutUnitWords(const std::string& text, const LanguageTexts& texts);

// Whole minutes from a text without unit words: blanks around the number are ignored, a decimal fraction
// (in the user's decimal sign) is rounded half to even. Nothing unless the result is 1 to 32,767.
std::optional<std::int32_t> minutesFromText(const std::string& text, const std::string& decimalSeparator);

// The minutes the interval field names. A text that names none is refused: the field shows the last valid
// interval again (intervalMinutes, with its unit word), and nothing is returned.
std::optional<std::int32_t> intervalFromField(MainForm& form);

// Fills the interval list in the current language and shows the stored interval (5 when it is not valid).
void FillIntervals(MainForm& form);

// The focus leaves the interval field: the count starts again, and a started countdown takes the interval.
void Interval_Validate(MainForm& form);

} // namespace carrovex
