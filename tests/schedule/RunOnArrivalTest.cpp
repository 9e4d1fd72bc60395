#include "schedule/RunOnArrival.h"

#include "tests/engine/RunLines.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

const std::string started = std::string(stamp) + "t33";
const std::string copiedA = std::string(stamp) + "t25: a";

const std::string waiting = "waiting for files, ";

class Arrival : public SchedulerFixture
{
protected:
    Arrival()
    {
        settings("From=/src\nTo=/dst\nAction=Copy\nInterval=5\nRunOnArrival=1\n");
    }
};

// The arrival's run comes on top of the countdown, which goes on as if it had not been.
TEST_F(Arrival, BringsARunAtOnceAndLeavesTheCountdownAlone)
{
    load();
    window.click(Control::StartStop);
    EXPECT_EQ(window.watchedFolder(), "/src");
    ticks(2);
    EXPECT_EQ(window.caption(), countdown(3, waiting));
    files.addFile("/src/a", 1);

    EXPECT_TRUE(window.arrive());

    EXPECT_THAT(window.lines(), ElementsAre(started, copiedA));
    EXPECT_EQ(window.caption(), countdown(3, waiting));
    EXPECT_TRUE(window.timerEnabled());
    files.addFile("/src/b", 1);
    ticks(3);
    EXPECT_EQ(window.lines().back(), std::string(stamp) + "t25: b");
    EXPECT_EQ(window.caption(), countdown(5, waiting));
}

// One run at a time: files that arrive during a run are asked for again, and taken once it is over.
TEST_F(Arrival, DuringARunWaitForItsEnd)
{
    files.addFile("/src/a", 1);
    load();
    window.click(Control::StartStop);
    bool takenDuringTheRun = true;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 1) {
            files.addFile("/src/b", 1);
            takenDuringTheRun = window.arrive();
        }
    });

    ASSERT_TRUE(window.arrive());
    EXPECT_FALSE(takenDuringTheRun);
    EXPECT_FALSE(files.hasFile("/dst/b"));
    window.onProcessEvents({});
    EXPECT_TRUE(window.arrive());
    EXPECT_TRUE(files.hasFile("/dst/b"));
}

// Stop, a cancelled run and a switch that is off bring no run; a change of source moves the watch.
TEST_F(Arrival, FollowsTheSchedulerTheSwitchAndTheSource)
{
    sourceFiles({"a", "b"});
    files.addFolder("/other");
    load();
    EXPECT_EQ(window.watchedFolder(), "");
    window.click(Control::StartStop);
    window.type(Control::SourceFolder, "/other");
    EXPECT_EQ(window.watchedFolder(), "/other");
    window.type(Control::SourceFolder, "/src");
    bool takenWhileCancelled = false;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 2) {
            window.click(Control::StartStop); // Cancel
            takenWhileCancelled = window.arrive();
        }
    });
    window.tick();
    ticks(4);
    window.onProcessEvents({});
    ASSERT_FALSE(files.hasFile("/dst/b"));

    EXPECT_TRUE(takenWhileCancelled);
    EXPECT_FALSE(files.hasFile("/dst/b"));
    window.click(Control::StartStop); // Stop
    EXPECT_EQ(window.watchedFolder(), "");
    EXPECT_TRUE(window.arrive());
    EXPECT_FALSE(files.hasFile("/dst/b"));

    settings("From=/src\nTo=/dst\nAction=Copy\nInterval=5\n");
    window.click(Control::StartStop);
    EXPECT_EQ(window.watchedFolder(), "");
    EXPECT_EQ(window.caption(), countdown(5));
    window.onOptionsDialog([](DialogModel& dialog) {
        EXPECT_EQ(dialog.value(DialogControl::RunOnArrival), 0);
        dialog.click(DialogControl::RunOnArrival);
        dialog.click(DialogControl::Save);
    });
    window.click(Control::Settings);
    EXPECT_EQ(window.watchedFolder(), "/src");
    EXPECT_EQ(window.caption(), countdown(5, waiting));
    EXPECT_TRUE(window.arrive());
    EXPECT_TRUE(files.hasFile("/dst/b"));
}

TEST_F(Arrival, FolderThatCannotBeWatchedIsLoggedAndLeftToTheInterval)
{
    window.refuseWatching("No space left on device");
    load();
    window.click(Control::StartStop);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp)
                + "The source folder \"/src\" cannot be watched for arriving files (No space left on device); runs "
                  "come at the interval only",
            started));
    EXPECT_EQ(window.caption(), countdown(5));
    files.addFolder("/archive");
    window.type(Control::DestinationFolder, "/archive");
    EXPECT_EQ(linesWith(window.lines(), "cannot be watched"), 1);
}

} // namespace

} // namespace carrovex::testing
