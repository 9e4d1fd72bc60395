#include "schedule/IntervalChoices.h"

#include "form/Captions.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"
#include "platform/NumberFormat.h"
#include "store/IniStore.h"
#include "store/Utf8.h"

#include <algorithm>

namespace carrovex
{

namespace
{

// Removes every occurrence of the word, matching without regard to case. Case folding keeps the length of
// every character it changes, so positions in the folded text are positions in the original.
std::string withoutWord(const std::string& text, const std::string& word)
{
    const std::string foldedWord = foldCase(word);
    const std::string foldedText = foldCase(text);
    std::string out;
    std::size_t start = 0;
    for (std::size_t found; (found = foldedText.find(foldedWord, start)) != std::string::npos;) {
        out.append(text, start, found - start);
        start = found + foldedWord.size();
    }
    out.append(text, start, std::string::npos);
    return out;
}

bool allDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string intervalText(const LanguageTexts& texts, std::int32_t minutes)
{
    return std::to_string(minutes) + " " + unitWord(texts, minutes);
}

std::string withoutUnitWords(const std::string& text, const LanguageTexts& texts)
{
    return withoutWord(withoutWord(text, " " + texts[5]), " " + texts[4]);
}

std::optional<std::int32_t> minutesFromText(const std::string& text, const std::string& decimalSeparator)
{
    const std::string number(trimmed(text));
    const auto separator = decimalSeparator.empty() ? std::string::npos : number.find(decimalSeparator);
    const std::string whole = number.substr(0, separator);
    const std::string fraction
        = separator == std::string::npos ? "" : number.substr(separator + decimalSeparator.size());
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction)) {
        return std::nullopt;
    }
    const std::string significant = whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    if (significant.size() > 5) {
        return std::nullopt;
    }
    std::int32_t minutes = significant.empty() ? 0 : std::stoi(significant);
    if (!fraction.empty()) {
        const bool aboveHalf
            = fraction[0] > '5' || (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string::npos);
        const bool exactlyHalf = fraction[0] == '5' && !aboveHalf;
        if (aboveHalf || (exactlyHalf && minutes % 2 == 1)) {
            ++minutes;
        }
    }
    if (minutes < 1 || minutes > longestInterval) {
        return std::nullopt;
    }
    return minutes;
}

std::optional<std::int32_t> intervalFromField(MainForm& form)
{
    const std::string stripped = withoutUnitWords(form.window.text(Control::Interval), form.texts);
    const std::optional<std::int32_t> minutes = minutesFromText(stripped, form.numbers.decimalSeparator());
    if (!minutes) {
        form.window.setText(Control::Interval, intervalText(form.texts, form.state.intervalMinutes));
    }
    return minutes;
}

void FillIntervals(MainForm& form)
{
    MainWindow& window = form.window;
    window.clearList(Control::Interval);
    for (std::size_t position = 0; position < intervalChoices.size(); ++position) {
        window.addItem(
            Control::Interval, static_cast<int>(position), intervalText(form.texts, intervalChoices[position]));
    }
    const std::string stored
        = form.ini.ReadIniValue("Options", "Interval", std::to_string(defaultInterval), iniValueSize);
    form.state.intervalMinutes = minutesFromText(stored, form.numbers.decimalSeparator()).value_or(defaultInterval);
    window.setText(Control::Interval, intervalText(form.texts, form.state.intervalMinutes));
}

void Interval_Validate(MainForm& form)
{
    if (form.state.loading) {
        return;
    }
    const std::optional<std::int32_t> minutes = intervalFromField(form);
    form.state.elapsedMinutes = 0;
    if (form.state.running) {
        if (minutes) {
            form.state.intervalMinutes = *minutes;
        }
        showState(form);
    }
}

} // namespace carrovex
