#include "form/LogPane.h"
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

} // namespace

} // namespace carrovex::testing
