#include "settings/PersistentSettings.h"

#include "form/LogPane.h"
#include "settings/SettleTime.h"
#include "tests/MainFormFixture.h"

#include <gtest/gtest.h>

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

} // namespace

} // namespace carrovex::testing
