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

std::optional<std::int32_t> minutes(const std::string& text, const LanguageTexts& texts, const char* separator = ",")
{
    return minutesFromText(withoutUnitWords(text, texts), separator);
}

TEST(IntervalText, StripsUnitWordsWithoutRegardToCase)
{
    const LanguageTexts english = unitWords("minute", "minutes");
    EXPECT_EQ(minutes("10 minutes", english), 10);
    EXPECT_EQ(minutes("1 minute", english), 1);
    EXPECT_EQ(minutes("10", english), 10);
    EXPECT_EQ(minutes("10 MINUTES", english), 10);
    EXPECT_EQ(minutes("  7  ", english), 7);
    const LanguageTexts german = unitWords("Minute", "Minuten");
    EXPECT_EQ(minutes("5 Minuten", german), 5);
    EXPECT_EQ(minutes("1 MINUTE", german), 1);
    const LanguageTexts russian = unitWords("минута", "минут");
    EXPECT_EQ(minutes("15 МИНУТ", russian), 15);
}

TEST(IntervalText, WithoutUnitWordsEveryBlankGoes)
{
    EXPECT_EQ(minutes(" 1 2 ", LanguageTexts {}), 12);
}

TEST(IntervalText, RoundsFractionsHalfToEvenInTheUsersDecimalSign)
{
    const LanguageTexts none;
    EXPECT_EQ(minutesFromText("2,5", ","), 2);
    EXPECT_EQ(minutesFromText("3,5", ","), 4);
    EXPECT_EQ(minutesFromText("2,51", ","), 3);
    EXPECT_EQ(minutesFromText("2,49999", ","), 2);
    EXPECT_EQ(minutesFromText("7.5", "."), 8);
    EXPECT_EQ(minutesFromText("7.5", ","), std::nullopt);
    EXPECT_EQ(minutes("1,5 minutes", unitWords("minute", "minutes")), 2);
}

TEST(IntervalText, RefusesWhatIsNoIntervalOf1To32767Minutes)
{
    for (const char* text :
        {"", " ", "abc", "5 Stunden", "0", "0,4", "-5", "+5", "32768", "99999999999", "1e3", ",", "5,5,5"}) {
        EXPECT_EQ(minutesFromText(text, ","), std::nullopt) << text;
    }
    EXPECT_EQ(minutesFromText("32767", ","), 32767);
    EXPECT_EQ(minutesFromText("0001", ","), 1);
    EXPECT_EQ(minutesFromText("0,5", ","), std::nullopt); // rounds to 0
    EXPECT_EQ(minutesFromText("1,5", ","), 2);
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

    EXPECT_THAT(window.items(Control::Interval),
        ::testing::ElementsAre("1 minute",
            "2 minutes",
            "3 minutes",
            "5 minutes",
            "10 minutes",
            "15 minutes",
            "20 minutes",
            "30 minutes",
            "45 minutes",
            "60 minutes",
            "120 minutes",
            "180 minutes",
            "240 minutes"));
    EXPECT_EQ(window.text(Control::Interval), "1 minute");
    EXPECT_EQ(form.state.intervalMinutes, 1);
}

TEST_F(IntervalField, StoredIntervalThatIsNoNumberGivesFive)
{
    for (const char* stored : {"", "zehn", "0", "40000", "10 Minuten"}) {
        ini.WriteIniValue("Options", "Interval", stored);
        FillIntervals(form);
        EXPECT_EQ(form.state.intervalMinutes, 5) << stored;
        EXPECT_EQ(window.text(Control::Interval), "5 minutes") << stored;
    }
}

TEST_F(IntervalField, LeavingTheFieldWhileStartedTakesTheNewInterval)
{
    form.state.running = true;
    form.state.intervalMinutes = 5;
    form.state.elapsedMinutes = 3;
    window.setText(Control::Interval, "10 Minutes");

    Interval_Validate(form);

    EXPECT_EQ(form.state.intervalMinutes, 10);
    EXPECT_EQ(form.state.elapsedMinutes, 0);
    EXPECT_EQ(window.caption(), "Carrovex Lite - t14 (t17 10 minutes)");
}

TEST_F(IntervalField, LeavingTheFieldWhileStoppedOnlyResetsTheCount)
{
    form.state.intervalMinutes = 5;
    form.state.elapsedMinutes = 3;
    window.setText(Control::Interval, "10");

    Interval_Validate(form);

    EXPECT_EQ(form.state.intervalMinutes, 5);
    EXPECT_EQ(form.state.elapsedMinutes, 0);
    EXPECT_EQ(window.text(Control::Interval), "10");
}

TEST_F(IntervalField, RefusedTextShowsTheLastValidIntervalAgain)
{
    form.state.running = true;
    form.state.intervalMinutes = 15;
    window.setText(Control::Interval, "soon");

    Interval_Validate(form);

    EXPECT_EQ(form.state.intervalMinutes, 15);
    EXPECT_EQ(window.text(Control::Interval), "15 minutes");
    EXPECT_EQ(window.caption(), "Carrovex Lite - t14 (t17 15 minutes)");
}

TEST_F(IntervalField, NothingHappensWhileLoading)
{
    form.state.loading = true;
    form.state.elapsedMinutes = 3;
    window.setText(Control::Interval, "soon");

    Interval_Validate(form);

    EXPECT_EQ(form.state.elapsedMinutes, 3);
    EXPECT_EQ(window.text(Control::Interval), "soon");
}

} // namespace

} // namespace carrovex::testing
