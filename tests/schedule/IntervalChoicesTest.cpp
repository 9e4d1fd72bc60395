#include "schedule/IntervalChoices.h"

#include "platform/MainWindow.h"
#include "tests/MainFormFixture.h"

#include <gmock/gmock.h>

namespace carrovex::testing
{

namespace
{

LanguageTexts unitWords(const char* singular, const char* plural)
{
    LanguageTexts texts;
    texts[4] = singular;
    texts[5] = plural;
    return texts;
}

// Unit words go without regard to case, fractions round half to even in the user's decimal sign.
TEST(IntervalText, ReadsMinutesFromWhatTheUserTyped)
{
    const LanguageTexts languages[]
        = {{}, unitWords("minute", "minutes"), unitWords("Minute", "Minuten"), unitWords("минута", "минут")};
    const struct {
        const char* text;
        int language;
        const char* separator;
        std::optional<std::int32_t> minutes;
    } cases[] = {{"10 minutes", 1, ",", 10},
        {"1 minute", 1, ",", 1},
        {"10 MINUTES", 1, ",", 10},
        {"  7  ", 1, ",", 7},
        {"5 Minuten", 2, ",", 5},
        {"1 MINUTE", 2, ",", 1},
        {"15 МИНУТ", 3, ",", 15},
        {"1,5 minutes", 1, ",", 2},
        {" 1 2 ", 0, ",", 12}, // without unit words every blank goes
        {"2,5", 0, ",", 2},
        {"3,5", 0, ",", 4},
        {"2,51", 0, ",", 3},
        {"2,49999", 0, ",", 2},
        {"7.5", 0, ".", 8},
        {"7.5", 0, ",", std::nullopt},
        {"32767", 0, ",", 32767},
        {"0001", 0, ",", 1},
        {"0,5", 0, ",", std::nullopt}}; // rounds to 0
    for (const auto& c : cases) {
        EXPECT_EQ(minutesFromText(withoutUnitWords(c.text, languages[c.language]), c.separator), c.minutes) << c.text;
    }
    for (const char* text :
        {"", "abc", "5 Stunden", "0", "0,4", "-5", "+5", "32768", "99999999999", "1e3", ",", "5,5,5"}) {
        EXPECT_EQ(minutesFromText(text, ","), std::nullopt) << text;
    }
}

class IntervalField : public MainFormFixture
{
protected:
    IntervalField()
    {
        form.texts[4] = "minute";
        form.texts[5] = "minutes";
    }
};

TEST_F(IntervalField, FillsThirteenChoicesAndShowsTheStoredInterval)
{
    ini.WriteIniValue("Options", "Interval", "1");

    FillIntervals(form);

    std::vector<std::string> choices {"1 minute"};
    for (const int minutes : {2, 3, 5, 10, 15, 20, 30, 45, 60, 120, 180, 240}) {
        choices.push_back(std::to_string(minutes) + " minutes");
    }
    EXPECT_EQ(window.items(Control::Interval), choices);
    EXPECT_EQ(window.text(Control::Interval), "1 minute");
    EXPECT_EQ(form.state.intervalMinutes, 1);

    for (const char* stored : {"", "zehn", "0", "40000", "10 Minuten"}) {
        ini.WriteIniValue("Options", "Interval", stored);
        FillIntervals(form);
        EXPECT_EQ(form.state.intervalMinutes, 5) << stored;
        EXPECT_EQ(window.text(Control::Interval), "5 minutes") << stored;
    }
}

// Leaving the field: a started scheduler takes the new interval, a refused text shows the last valid one
// again, and the count starts afresh; nothing happens while the window loads.
TEST_F(IntervalField, LeavingTheFieldTakesAValidIntervalAndRestartsTheCount)
{
    const struct {
        bool running;
        bool loading;
        const char* typed;
        std::int32_t interval;
        int elapsed;
        const char* field;
        const char* caption;
    } cases[] = {{true, false, "10 Minutes", 10, 0, "10 Minutes", "Carrovex Lite - t14 (t17 10 minutes)"},
        {false, false, "10", 5, 0, "10", ""},
        {true, false, "soon", 5, 0, "5 minutes", "Carrovex Lite - t14 (t17 5 minutes)"},
        {false, true, "soon", 5, 3, "soon", ""}};
    for (const auto& c : cases) {
        WindowModel shown;
        MainForm field {shown, files, drives, clock, ini, numbers, {}, form.texts, {}, {}};
        field.state.running = c.running;
        field.state.loading = c.loading;
        field.state.intervalMinutes = 5;
        field.state.elapsedMinutes = 3;
        shown.setText(Control::Interval, c.typed);

        Interval_Validate(field);

        EXPECT_EQ(field.state.intervalMinutes, c.interval) << c.typed;
        EXPECT_EQ(field.state.elapsedMinutes, c.elapsed) << c.typed;
        EXPECT_EQ(shown.text(Control::Interval), c.field) << c.typed;
        EXPECT_EQ(shown.caption(), c.caption) << c.typed;
    }
}

} // namespace

} // namespace carrovex::testing
