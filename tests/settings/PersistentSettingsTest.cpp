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
        form.sTexts[4] = "Minute";
        form.sTexts[5] = "Minuten";
        window.setValue(Control::Option1_0, 1);
        window.setValue(Control::Option1_1, 0);
        window.setTop(Control::cmdStopStart, 3210);
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

    EXPECT_EQ(window.text(Control::Text1), "");
    EXPECT_EQ(window.text(Control::Text2), "");
    EXPECT_EQ(window.value(Control::Option1_1), 1);
    EXPECT_EQ(window.value(Control::Option1_0), 0);
    EXPECT_EQ(window.value(Control::Check1), 0);
    EXPECT_FALSE(window.isVisible(Control::List1));
    EXPECT_EQ(window.outerHeight(), 3060);
    EXPECT_EQ(window.value(Control::Check2), 0);
    EXPECT_EQ(window.text(Control::Combo1), "5 Minuten");
}

TEST_F(Settings, LoadsEveryStoredValue)
{
    store("From=/in\nTo=/out\nAction=Move\nShowLog=1\nOverwrite=1\nInterval=1\n");

    LoadSettings(form);

    EXPECT_EQ(window.text(Control::Text1), "/in");
    EXPECT_EQ(window.text(Control::Text2), "/out");
    EXPECT_EQ(window.value(Control::Option1_0), 1);
    EXPECT_EQ(window.value(Control::Check1), 1);
    EXPECT_TRUE(window.isVisible(Control::List1));
    EXPECT_EQ(window.top(Control::cmdQuit), 3210);
    EXPECT_EQ(window.value(Control::Check2), 1);
    EXPECT_EQ(window.text(Control::Combo1), "1 Minute");
}

TEST_F(Settings, UnknownValuesLeaveTheControlsAsDesigned)
{
    store("Action=copy\nShowLog=2\nOverwrite=yes\n");

    LoadSettings(form);

    EXPECT_EQ(window.value(Control::Option1_0), 1);
    EXPECT_EQ(window.value(Control::Check1), 0);
    EXPECT_EQ(window.value(Control::Check2), 0);
    // Consistent with the unticked box: the short layout that the fixed window size keeps.
    EXPECT_EQ(window.outerHeight(), 3060);
    EXPECT_EQ(window.top(Control::cmdStopStart), 2190);
}

TEST_F(Settings, SavesEveryValueAndTheyLoadBack)
{
    window.setText(Control::Text1, "/home/ana/Übersicht");
    window.setText(Control::Text2, "/mnt/東京");
    window.setText(Control::Combo1, "10 MINUTEN");
    window.setValue(Control::Check1, 1);
    window.setValue(Control::Check2, 1);

    SaveSettings(form);

    EXPECT_EQ(textFiles.files["/prog/Carrovex.ini"],
        "[Options]\nFrom=/home/ana/Übersicht\nTo=/mnt/東京\nInterval=10\nShowLog=1\nOverwrite=1\nAction=Move\n");
    WindowModel loaded;
    MainForm again {loaded, files, drives, clock, ini, numbers, {}, form.sTexts, {}, {}, {}};
    LoadSettings(again);
    EXPECT_EQ(loaded.text(Control::Text1), "/home/ana/Übersicht");
    EXPECT_EQ(loaded.text(Control::Text2), "/mnt/東京");
    EXPECT_EQ(loaded.text(Control::Combo1), "10 Minuten");
    EXPECT_EQ(loaded.value(Control::Option1_0), 1);
}

TEST_F(Settings, SingularAndPluralWordsAreBothStripped)
{
    window.setText(Control::Combo1, "1 minute");
    SaveSettings(form);
    EXPECT_EQ(stored("Interval"), "1");
    window.setText(Control::Combo1, "3,5 Minuten");
    SaveSettings(form);
    EXPECT_EQ(stored("Interval"), "4");
}

TEST_F(Settings, IntervalThatIsNoNumberSavesTheLastValidOne)
{
    form.state.lInterval = 20;
    window.setText(Control::Combo1, "bald");
    SaveSettings(form);
    EXPECT_EQ(stored("Interval"), "20");
}

TEST_F(Settings, LongPathIsSavedWholeAndReadBackCut)
{
    const std::string path = "/" + std::string(299, 'p');
    window.setText(Control::Text1, path);
    SaveSettings(form);
    EXPECT_NE(textFiles.files["/prog/Carrovex.ini"].find(path), std::string::npos);
    LoadSettings(form);
    EXPECT_EQ(window.text(Control::Text1), path.substr(0, 255));
}

} // namespace

} // namespace carrovex::testing
