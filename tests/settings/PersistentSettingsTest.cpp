#include "settings/PersistentSettings.h"

#include "form/LogPane.h"
#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "settings/SettleTime.h"
#include "tests/MainFormFixture.h"

#include <gmock/gmock.h>

namespace carrovex::testing
{

namespace
{

// The main window as it is designed: "Move files" selected, both check boxes clear.
class Settings : public MainFormFixture
{
protected:
    Settings()
    {
        form.texts[4] = "Minute";
        form.texts[5] = "Minuten";
        window.setValue(Control::Move, 1);
        window.setValue(Control::Copy, 0);
    }

    void store(const std::string& text)
    {
        textFiles.files["/prog/Carrovex.ini"] = "[Options]\n" + text;
    }
};

// A missing file is a fresh installation (Copy); values that are not understood leave the controls as
// designed (Move), and the layout always follows the Show Log box that the window ends with.
TEST_F(Settings, LoadsTheStoredValuesOrKeepsTheDesign)
{
    const struct {
        const char* stored; // none if null
        const char* source;
        int move;
        int showLog;
        int overwrite;
        const char* interval;
    } cases[] = {{nullptr, "", 0, 0, 0, "5 Minuten"},
        {"From=/in\nTo=/out\nAction=Move\nShowLog=1\nOverwrite=1\nInterval=1\n", "/in", 1, 1, 1, "1 Minute"},
        {"Action=copy\nShowLog=2\nOverwrite=yes\n", "", 1, 0, 0, "5 Minuten"}};
    for (const auto& c : cases) {
        WindowModel designed;
        designed.setValue(Control::Move, 1);
        ShowLogPane(designed);
        MainForm loaded {designed, files, drives, clock, ini, numbers, {}, form.texts, {}, {}};
        if (c.stored != nullptr) {
            store(c.stored);
        }
        WindowModel pane;
        c.showLog == 1 ? ShowLogPane(pane) : HideLogPane(pane);

        LoadSettings(loaded);

        const std::string row = c.stored == nullptr ? "no file" : c.stored;
        EXPECT_EQ(designed.text(Control::SourceFolder), c.source) << row;
        EXPECT_EQ(designed.text(Control::DestinationFolder), *c.source == '\0' ? "" : "/out") << row;
        EXPECT_EQ(designed.value(Control::Move), c.move) << row;
        EXPECT_EQ(designed.value(Control::Copy), 1 - c.move) << row;
        EXPECT_EQ(designed.value(Control::ShowLog), c.showLog) << row;
        EXPECT_EQ(designed.isVisible(Control::Log), c.showLog == 1) << row;
        EXPECT_EQ(designed.value(Control::Overwrite), c.overwrite) << row;
        EXPECT_EQ(designed.text(Control::Interval), c.interval) << row;
        EXPECT_EQ(designed.outerHeight(), pane.outerHeight()) << row;
        EXPECT_EQ(designed.top(Control::StartStop), pane.top(Control::StartStop)) << row;
        EXPECT_EQ(designed.top(Control::Quit), pane.top(Control::Quit)) << row;
    }
}

// The settle time guards files that may still be written: no value may switch it off or make it endless.
TEST_F(Settings, SettleTimeIsAWholeNumberOfSecondsWithinBounds)
{
    using namespace std::chrono_literals;
    const std::pair<const char*, std::chrono::milliseconds> cases[] = {{"", 30s},
        {"SettleSeconds=12\n", 12s},
        {"SettleSeconds=0\n", 1s},
        {"SettleSeconds=-40\n", 1s},
        {"SettleSeconds=86400\n", 3600s},
        {"SettleSeconds=99999999999999999999\n", 3600s},
        {"SettleSeconds=12s\n", 30s},
        {"SettleSeconds=1.5\n", 30s},
        {"SettleSeconds=\n", 30s}};
    for (const auto& [stored, expected] : cases) {
        store(stored);
        EXPECT_EQ(settleTime(textFiles, "/prog/Carrovex.ini", 30s), expected) << stored;
    }
}

// Long paths are saved and read back whole, and all values in one replacement of the file.
TEST_F(Settings, SavesEveryValueAndTheyLoadBack)
{
    const std::string source = "/" + std::string(299, 's') + "/Übersicht";
    const std::string destination = "/" + std::string(4095, 'd') + "/東京";
    window.setText(Control::SourceFolder, source);
    window.setText(Control::DestinationFolder, destination);
    window.setText(Control::Interval, "10 MINUTEN");
    window.setValue(Control::ShowLog, 1);
    window.setValue(Control::Overwrite, 1);

    ASSERT_TRUE(SaveSettings(form).ok());

    EXPECT_EQ(textFiles.writes, 1);
    EXPECT_EQ(textFiles.files["/prog/Carrovex.ini"],
        "[Options]\nFrom=" + source + "\nTo=" + destination + "\nInterval=10\nShowLog=1\nOverwrite=1\nAction=Move\n");
    WindowModel loaded;
    MainForm again {loaded, files, drives, clock, ini, numbers, {}, form.texts, {}, {}};
    LoadSettings(again);
    EXPECT_EQ(loaded.text(Control::SourceFolder), source);
    EXPECT_EQ(loaded.text(Control::DestinationFolder), destination);
    EXPECT_EQ(loaded.text(Control::Interval), "10 Minuten");
    EXPECT_EQ(loaded.value(Control::Move), 1);
}

// Unit words in either number and any case go; a text that is no interval saves the last valid one.
TEST_F(Settings, SavesTheIntervalAsMinutes)
{
    form.state.intervalMinutes = 20;
    for (const auto& [typed, saved] : {std::pair {"1 minute", "1"}, {"3,5 Minuten", "4"}, {"bald", "20"}}) {
        window.setText(Control::Interval, typed);
        ASSERT_TRUE(SaveSettings(form).ok());
        EXPECT_EQ(stored("Interval"), saved) << typed;
    }
}

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
