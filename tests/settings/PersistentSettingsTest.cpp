#include "settings/PersistentSettings.h"

#include "tests/MainFormFixture.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

// The main window as it is designed: "Move files" selected, both check boxes clear, the tall layout.
class Settings : public MainFormFixture
{
protected:
    Settings()
    {
        form.texts[4] = "Minute";
        form.texts[5] = "Minuten";
        window.setValue(Control::Move, 1);
        window.setValue(Control::Copy, 0);
        window.setTop(Control::StartStop, 3210);
        window.setOuterHeight(4080);
    }

    void store(const std::string& text)
    {
        textFiles.files["/prog/Carrovex.ini"] = "[Options]\n" + text;
    }
};

TEST_F(Settings, NoFileGivesAFreshInstallation)
{
    LoadSettings(form);

    EXPECT_EQ(window.text(Control::SourceFolder), "");
    EXPECT_EQ(window.text(Control::DestinationFolder), "");
    EXPECT_EQ(window.value(Control::Copy), 1);
    EXPECT_EQ(window.value(Control::Move), 0);
    EXPECT_EQ(window.value(Control::ShowLog), 0);
    EXPECT_FALSE(window.isVisible(Control::Log));
    EXPECT_EQ(window.outerHeight(), 3060);
    EXPECT_EQ(window.value(Control::Overwrite), 0);
    EXPECT_EQ(window.text(Control::Interval), "5 Minuten");
}

TEST_F(Settings, LoadsEveryStoredValue)
{
    store("From=/in\nTo=/out\nAction=Move\nShowLog=1\nOverwrite=1\nInterval=1\n");

    LoadSettings(form);

    EXPECT_EQ(window.text(Control::SourceFolder), "/in");
    EXPECT_EQ(window.text(Control::DestinationFolder), "/out");
    EXPECT_EQ(window.value(Control::Move), 1);
    EXPECT_EQ(window.value(Control::ShowLog), 1);
    EXPECT_TRUE(window.isVisible(Control::Log));
    EXPECT_EQ(window.top(Control::Quit), 3210);
    EXPECT_EQ(window.value(Control::Overwrite), 1);
    EXPECT_EQ(window.text(Control::Interval), "1 Minute");
}

TEST_F(Settings, UnknownValuesLeaveTheControlsAsDesigned)
{
    store("Action=copy\nShowLog=2\nOverwrite=yes\n");

    LoadSettings(form);

    EXPECT_EQ(window.value(Control::Move), 1);
    EXPECT_EQ(window.value(Control::ShowLog), 0);
    EXPECT_EQ(window.value(Control::Overwrite), 0);
    // Consistent with the unticked box: the short layout that the fixed window size keeps.
    EXPECT_EQ(window.outerHeight(), 3060);
    EXPECT_EQ(window.top(Control::StartStop), 2190);
}

TEST_F(Settings, SavesEveryValueAndTheyLoadBack)
{
    window.setText(Control::SourceFolder, "/home/ana/Übersicht");
    window.setText(Control::DestinationFolder, "/mnt/東京");
    window.setText(Control::Interval, "10 MINUTEN");
    window.setValue(Control::ShowLog, 1);
    window.setValue(Control::Overwrite, 1);

    ASSERT_TRUE(SaveSettings(form).ok());

    EXPECT_EQ(textFiles.files["/prog/Carrovex.ini"],
        "[Options]\nFrom=/home/ana/Übersicht\nTo=/mnt/東京\nInterval=10\nShowLog=1\nOverwrite=1\nAction=Move\n");
    WindowModel loaded;
    MainForm again {loaded, files, drives, clock, ini, numbers, {}, form.texts, {}, {}};
    LoadSettings(again);
    EXPECT_EQ(loaded.text(Control::SourceFolder), "/home/ana/Übersicht");
    EXPECT_EQ(loaded.text(Control::DestinationFolder), "/mnt/東京");
    EXPECT_EQ(loaded.text(Control::Interval), "10 Minuten");
    EXPECT_EQ(loaded.value(Control::Move), 1);
}

TEST_F(Settings, SingularAndPluralWordsAreBothStripped)
{
    window.setText(Control::Interval, "1 minute");
    ASSERT_TRUE(SaveSettings(form).ok());
    EXPECT_EQ(stored("Interval"), "1");
    window.setText(Control::Interval, "3,5 Minuten");
    ASSERT_TRUE(SaveSettings(form).ok());
    EXPECT_EQ(stored("Interval"), "4");
}

TEST_F(Settings, IntervalThatIsNoNumberSavesTheLastValidOne)
{
    form.state.intervalMinutes = 20;
    window.setText(Control::Interval, "bald");
    ASSERT_TRUE(SaveSettings(form).ok());
    EXPECT_EQ(stored("Interval"), "20");
}

TEST_F(Settings, LongPathIsSavedWholeAndReadBackCut)
{
    const std::string path = "/" + std::string(299, 'p');
    window.setText(Control::SourceFolder, path);
    ASSERT_TRUE(SaveSettings(form).ok());
    EXPECT_NE(textFiles.files["/prog/Carrovex.ini"].find(path), std::string::npos);
    LoadSettings(form);
    EXPECT_EQ(window.text(Control::SourceFolder), path.substr(0, 255));
}

} // namespace

} // namespace carrovex::testing
