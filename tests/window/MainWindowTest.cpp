#include "form/LogPane.h"
#include "tests/TableRows.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>
#include <tuple>

namespace carrovex::testing
{

namespace
{

using MainWindowLogic = SchedulerFixture;

// A chosen folder fills its field and enables Start; a closed picker leaves the field as it was.
TEST_F(MainWindowLogic, FolderButtonsPromptWithTheFieldsCaption)
{
    files.addFolder("/new");
    settings("From=/gone\nTo=/dst\nAction=?\n");
    load();
    EXPECT_EQ(window.value(Control::Move), 1); // an action not understood keeps the design
    EXPECT_EQ(window.value(Control::Copy), 0);
    EXPECT_FALSE(window.isEnabled(Control::StartStop));
    window.chooseNextFolder("/new");
    window.chooseNextFolder("");

    window.click(Control::BrowseSource);
    window.click(Control::BrowseDestination);

    // At the field's folder where it exists, else at the home folder.
    EXPECT_THAT(window.folderPrompts(), ::testing::ElementsAre("t0: @", "t1: @/dst"));
    EXPECT_EQ(window.text(Control::SourceFolder), "/new");
    EXPECT_EQ(window.text(Control::DestinationFolder), "/dst");
    EXPECT_TRUE(window.isEnabled(Control::StartStop));
}

// The window takes the log pane's layout as the pane itself lays it out, and a dragged size returns to it
// once the window is no longer minimised.
TEST_F(MainWindowLogic, ShowLogSwitchesTheLayoutAndTheSizeReturnsToIt)
{
    const auto layout = [](const WindowModel& shown) {
        return std::tuple {shown.outerHeight(),
            shown.panelHeight(),
            shown.top(Control::StartStop),
            shown.top(Control::Settings),
            shown.isVisible(Control::Log),
            shown.isVisible(Control::LogLabel)};
    };
    WindowModel tall;
    WindowModel low;
    ShowLogPane(tall);
    HideLogPane(low);
    load();
    EXPECT_EQ(layout(window), layout(low));

    window.click(Control::ShowLog);
    EXPECT_EQ(layout(window), layout(tall));
    std::vector<int> widths; // one designed width, whatever the drag
    for (const int dragged : {9999, 1}) {
        window.setOuterHeight(dragged);
        window.setOuterWidth(dragged);
        window.minimize(true);
        EXPECT_EQ(window.outerHeight(), dragged);
        window.minimize(false);
        EXPECT_EQ(layout(window), layout(tall));
        EXPECT_NE(window.outerWidth(), dragged);
        widths.push_back(window.outerWidth());
    }
    EXPECT_EQ(widths.front(), widths.back());
}

TEST_F(MainWindowLogic, TooltipShowsTheWholeLineUnderThePointer)
{
    load();
    window.appendLine("first");
    window.appendLine(std::string(500, 'x'));

    window.moveOverList(0, 100, 7.5 * 15); // first row, 16 pixels high
    EXPECT_EQ(window.listToolTip(), "first");
    window.moveOverList(0, 100, 16 * 15 + 7.5 * 15); // second row, 16 pixels high
    EXPECT_EQ(window.listToolTip(), std::string(500, 'x'));

    window.moveOverList(1, 0, 0); // a button held: no change
    EXPECT_EQ(window.listToolTip(), std::string(500, 'x'));

    window.moveOverList(0, 0, 40 * 15); // below the last line
    EXPECT_EQ(window.listToolTip(), "");
}

TEST(WindowModelLog, KeepsTheNewest100000Lines)
{
    WindowModel window;
    for (int i = 0; i < 100'005; ++i) {
        window.appendLine(std::to_string(i));
    }
    EXPECT_EQ(window.lineCount(), 100'000);
    EXPECT_EQ(window.lines().front(), "5");
    EXPECT_EQ(window.lines().back(), "100004");
}

// The program with "SendToTray" as the row says, on a desktop with or without a tray.
struct TrayCase : NamedRow {
    const char* sendToTray;
    bool tray;
    bool toTray; // closing and minimising leave only the tray icon
};

class Tray : public SchedulerFixture, public ::testing::WithParamInterface<TrayCase>
{
protected:
    Tray()
    {
        settings(std::string("From=/src\nTo=/dst\nSave=0\n") + GetParam().sendToTray);
        window.setTray(GetParam().tray);
        load();
    }
};

TEST_P(Tray, CloseBoxAndMinimisingSendTheWindowToTheTrayWhenAsked)
{
    const bool toTray = GetParam().toTray;
    window.minimize(true);
    EXPECT_EQ(window.isHiddenToTray(), toTray);

    window.click(Control::TrayShow);
    EXPECT_FALSE(window.isMinimized());

    window.requestClose();
    EXPECT_EQ(window.isClosed(), !toTray);
    EXPECT_EQ(window.isHiddenToTray(), toTray);

    window.click(Control::TrayQuit); // the tray's Quit always quits
    EXPECT_TRUE(window.isClosed());
}

INSTANTIATE_TEST_SUITE_P(Table,
    Tray,
    ::testing::Values(TrayCase {"OffByDefault", "", true, false},
        TrayCase {"On", "SendToTray=1\n", true, true},
        TrayCase {"OnWithoutATray", "SendToTray=1\n", false, false}),
    rowName);

using TrayMenu = SchedulerFixture;

TEST_F(TrayMenu, EntriesAndPlatformTextsFollowTheLanguage)
{
    textFiles.files["/prog/lang/Deutsch.dat"] += "t46=Fenster &anzeigen\nt53=de\n";
    load();
    EXPECT_EQ(window.text(Control::TrayShow), "Fenster &anzeigen");
    EXPECT_EQ(window.text(Control::TrayQuit), "t13");
    EXPECT_EQ(window.platformLanguage(), "de");

    setLanguageText(0, "x"); // an older file: no texts after t44
    std::string& file = textFiles.files["/prog/lang/Deutsch.dat"];
    file.erase(file.find("t46="));
    load();
    EXPECT_EQ(window.text(Control::TrayShow), "&Show window");
    EXPECT_EQ(window.platformLanguage(), "en");
}

} // namespace

} // namespace carrovex::testing
