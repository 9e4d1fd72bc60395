#include "schedule/RunScheduler.h"

#include "schedule/RunOnArrival.h"
#include "tests/engine/RunLines.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace carrovex::testing
{

namespace
{

using Scheduler = SchedulerFixture;

const std::string started = std::string(stamp) + "t33";
const std::string stopped = std::string(stamp) + "t34";

TEST_F(Scheduler, CountsDownAndRunsWhenTheIntervalHasElapsedWithTheTimerAtRest)
{
    files.addFile("/src/a", 1);
    window.setTray(true);
    load();
    window.click(Control::StartStop);
    EXPECT_EQ(window.caption(), countdown(5));
    EXPECT_EQ(window.text(Control::StartStop), "t11");
    for (const int left : {4, 3, 2, 1}) {
        window.tick();
        EXPECT_EQ(window.caption(), countdown(left));
    }
    EXPECT_THAT(window.lines(), ElementsAre(started));
    bool timerOff = false;
    window.onProcessEvents([&] { timerOff = !window.timerEnabled(); });

    window.tick();

    EXPECT_TRUE(timerOff);
    EXPECT_THAT(window.lines(), ElementsAre(started, std::string(stamp) + "t25: a"));
    EXPECT_EQ(window.caption(), countdown(5));
    EXPECT_TRUE(window.timerEnabled());
    EXPECT_EQ(form.state.elapsedMinutes, 0);
    EXPECT_TRUE(window.notifications().empty()); // a run without errors is not announced
}

// What stops a started scheduler: the user's Stop, a source folder gone, a destination moved into the
// source. Only the user's Stop is logged and starts the count afresh; Start says why where the folders are.
struct StopCase : NamedRow {
    Control field; // typed into; the user's Stop if StartStop
    const char* typed;
    bool startUsable;
    bool logged;
    int minutesLeft; // when started again, after three more ticks
};

using SchedulerStop = Table<SchedulerFixture, StopCase>;

TEST_P(SchedulerStop, StopsUntilStartedAgain)
{
    const StopCase& c = GetParam();
    files.addFolder("/src/sub");
    load();
    window.click(Control::StartStop);
    ticks(2);

    c.field == Control::StartStop ? window.click(Control::StartStop) : window.type(c.field, c.typed);

    Lines lines = c.logged ? Lines {started, stopped} : Lines {started};
    EXPECT_FALSE(form.state.running);
    EXPECT_EQ(window.isEnabled(Control::StartStop), c.startUsable);
    EXPECT_EQ(window.caption(), "Carrovex Lite - t16");
    EXPECT_THAT(window.lines(), ElementsAreArray(lines));
    EXPECT_EQ(window.selectedLine(), window.lineCount() - 1);
    EXPECT_EQ(window.text(Control::StartStop), "t12");
    SetMessages(form, false); // the options saved while stopped
    EXPECT_EQ(window.text(Control::StartStop), "t12");
    ticks(3);
    if (c.field != Control::StartStop) {
        window.type(c.field, c.field == Control::SourceFolder ? "/src" : "/dst");
    }
    window.click(Control::StartStop);
    lines.push_back(started);
    EXPECT_EQ(window.caption(), countdown(c.minutesLeft));
    EXPECT_THAT(window.lines(), ElementsAreArray(lines));
    EXPECT_EQ(window.selectedLine(), window.lineCount() - 1);
}

INSTANTIATE_TEST_SUITE_P(Ways,
    SchedulerStop,
    ::testing::Values(StopCase {"UsersStop", Control::StartStop, "", true, true, 5},
        StopCase {"SourceGone", Control::SourceFolder, "/sr", false, false, 3},
        StopCase {"DestinationMovedIntoTheSource", Control::DestinationFolder, "/src/sub", true, false, 3}),
    rowName);

TEST_F(Scheduler, OnlyLeavingTheIntervalFieldTakesItsText)
{
    load();
    window.click(Control::StartStop);
    window.type(Control::Interval, "10");

    window.leave(Control::SourceFolder);
    EXPECT_EQ(window.caption(), countdown(5));
    window.leave(Control::Interval);
    EXPECT_EQ(window.caption(), countdown(10));
}

// A greyed Start tells why, in its tip and in the tip of each field in question, and follows folders that
// appear without an edit: at the next tick or when the user comes back to the window.
TEST_F(Scheduler, GreyStartSaysWhyAndFollowsFoldersThatAppear)
{
    settings("From=/in\nTo=/out\nInterval=5\n");
    load();
    const std::string noSource = "Start needs an existing source folder";
    const std::string noDestination = "Start needs an existing destination folder";
    EXPECT_FALSE(window.isEnabled(Control::StartStop));
    EXPECT_EQ(window.toolTip(Control::StartStop), noSource + "\n" + noDestination);
    EXPECT_EQ(window.toolTip(Control::SourceFolder), noSource);

    files.addFolder("/in");
    window.tick();
    EXPECT_FALSE(window.isEnabled(Control::StartStop));
    EXPECT_EQ(window.toolTip(Control::StartStop), noDestination);
    EXPECT_EQ(window.toolTip(Control::SourceFolder), "");
    EXPECT_EQ(window.toolTip(Control::DestinationFolder), noDestination);

    files.addFolder("/out");
    window.activate();
    EXPECT_TRUE(window.isEnabled(Control::StartStop));
    EXPECT_EQ(window.toolTip(Control::StartStop), "");
    EXPECT_EQ(window.toolTip(Control::DestinationFolder), "");
    EXPECT_THAT(window.lines(), ::testing::IsEmpty()); // noticed silently
}

using SchedulerCancel = Table<SchedulerFixture, const char*>;

// Cancel is taken at once, whatever the language calls it and also after the texts were refreshed during
// the run (the options dialog saved); the run ends after the file in hand and the scheduler stays started.
TEST_P(SchedulerCancel, EndsTheRunAfterTheFileInHand)
{
    setLanguageText(32, GetParam());
    sourceFiles({"a", "b", "c"});
    settings("From=/src\nTo=/dst\nInterval=1\n");
    load();
    window.click(Control::StartStop);
    std::string caption;
    bool restingAtOnce = false;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 1) {
            SetMessages(form, false);
            caption = window.caption();
        } else if (window.processEventsCalls() == 2) { // in the middle of the first file
            EXPECT_EQ(window.text(Control::StartStop), GetParam());
            window.click(Control::StartStop);
            restingAtOnce = !window.isEnabled(Control::StartStop);
            window.click(Control::StartStop); // a second click finds the button at rest
        }
    });

    window.tick();

    EXPECT_EQ(caption, "Carrovex Lite - t15 (t27 3 t30)");
    EXPECT_TRUE(restingAtOnce);
    EXPECT_EQ(window.lines().back(), "t31: t25 1 t29");
    EXPECT_TRUE(files.hasFile("/dst/a"));
    EXPECT_FALSE(files.hasFile("/dst/b"));
    EXPECT_TRUE(form.state.running);
    EXPECT_EQ(linesWith(window.lines(), "t34"), 0);
    EXPECT_TRUE(window.isEnabled(Control::StartStop));
    EXPECT_EQ(window.text(Control::StartStop), "t11");
}

INSTANTIATE_TEST_SUITE_P(Languages, SchedulerCancel, ::testing::Values("&Abbrechen", "&Cancel"));

// A run made at Start, and the caption that follows every kind of run at once.
TEST_F(Scheduler, RunsAtOnceOnStartWhenAskedTo)
{
    sourceFiles({"a", "b"});
    settings("From=/src\nTo=/dst\nInterval=5\nDoActionOnStart=1\n");
    load();
    const std::string copying = "Carrovex Lite - t15 (t27 2 t30)";
    std::vector<std::string> captions;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 2) {
            captions.push_back(window.caption());
            window.tick(); // a tick during a run made at Start
            captions.push_back(window.caption());
        }
    });

    window.click(Control::StartStop);

    EXPECT_THAT(window.lines(), ElementsAre(started, std::string(stamp) + "t25: a", std::string(stamp) + "t25: b"));
    EXPECT_THAT(captions, ElementsAre(copying, copying));
    EXPECT_EQ(window.caption(), countdown(4)); // the run is over: the countdown, at once
    ticks(4);
    EXPECT_EQ(linesWith(window.lines(), "t22 (t24)"), 2);
    EXPECT_EQ(window.caption(), countdown(5)); // after a run made by a tick
}

struct OverlapCase : NamedRow {
    const char* destination;
    bool refused;
};

using SchedulerFolders = Table<SchedulerFixture, OverlapCase>;

TEST_P(SchedulerFolders, DestinationInsideTheSourceIsRefusedAtStart)
{
    for (const char* folder : {"/src/sub", "/src/sub/deeper", "/srcx", "/link", "/link/sub", "/dst/../src"}) {
        files.addFolder(folder);
    }
    files.linkFiles("/link", "/src");
    load();
    window.type(Control::DestinationFolder, GetParam().destination);

    window.click(Control::StartStop);

    EXPECT_EQ(form.state.running, !GetParam().refused);
    EXPECT_EQ(window.messages().size(), GetParam().refused ? 1U : 0U);
    if (GetParam().refused) {
        EXPECT_THAT(
            window.messages(), ElementsAre(::testing::StartsWith("Carrovex Lite - t1: The destination folder")));
        EXPECT_TRUE(window.lines().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table,
    SchedulerFolders,
    ::testing::Values(OverlapCase {"Same", "/src", true},
        OverlapCase {"SameWithDots", "/dst/../src", true},
        OverlapCase {"Inside", "/src/sub", true},
        OverlapCase {"Deeper", "/src/sub/deeper", true},
        OverlapCase {"ThroughALink", "/link/sub", true},
        OverlapCase {"SameNameStart", "/srcx", false},
        OverlapCase {"Elsewhere", "/dst", false}),
    rowName);

TEST_F(Scheduler, ErrorsAreAnnouncedAndMarkedUntilTheLogIsSeen)
{
    files.addFile("/src/a", 1);
    files.failCall(FakeFileSystem::Call::Start, 0, "Disk on fire");
    settings("From=/src\nTo=/dst\nInterval=1\nShowLog=0\n");
    window.setTray(true);
    load();
    window.click(Control::StartStop);

    window.tick();

    const std::string firstError = std::string(stamp) + "t35: Disk on fire - a";
    EXPECT_THAT(window.notifications(), ElementsAre("Carrovex Lite - Errors in the log: 1: " + firstError));
    EXPECT_EQ(window.caption(), countdown(1) + " - Errors in the log: 1");
    window.tick();
    EXPECT_EQ(window.caption(), countdown(1) + " - Errors in the log: 2");

    window.click(Control::ShowLog);
    EXPECT_EQ(window.caption(), countdown(1));
    window.tick(); // seen as it happens: announced, not marked
    EXPECT_EQ(window.caption(), countdown(1));
    EXPECT_EQ(window.notifications().size(), 3U);
}

// A run that fell due during a run comes at the first tick after it, also when the options saved during the
// run lengthened the interval; a stop, by the user or by a folder gone, forgets it.
enum class AfterRun { Ticks, StopAndStart, FolderGoneAndBack };

using SchedulerDue = Table<SchedulerFixture, AfterRun>;

TEST_P(SchedulerDue, RunThatFellDueDuringARunComesAtTheNextTickUnlessStopped)
{
    settings("From=/src\nTo=/dst\nInterval=5\nDoActionOnStart=1\n");
    files.addFile("/src/a", 1);
    load();
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 1) {
            ticks(5);
            ini.WriteIniValue("Options", "Interval", "10");
            SetMessages(form, false);
        }
    });
    window.click(Control::StartStop);
    window.onProcessEvents({});
    ini.WriteIniValue("Options", "DoActionOnStart", "0");
    if (GetParam() == AfterRun::StopAndStart) {
        window.click(Control::StartStop);
        window.click(Control::StartStop);
    } else if (GetParam() == AfterRun::FolderGoneAndBack) {
        window.type(Control::SourceFolder, "/sr");
        window.type(Control::SourceFolder, "/src");
        window.click(Control::StartStop);
    }

    window.tick();

    EXPECT_EQ(linesWith(window.lines(), "t22 (t24)"), GetParam() == AfterRun::Ticks ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SchedulerDue, ::testing::Values(AfterRun::Ticks, AfterRun::StopAndStart, AfterRun::FolderGoneAndBack));

TEST_F(Scheduler, CountPastASmallerReloadedIntervalStillRuns)
{
    settings("From=/src\nTo=/dst\nInterval=10\n");
    load();
    window.click(Control::StartStop);
    ticks(7);
    ini.WriteIniValue("Options", "Interval", "5");
    SetMessages(form, false);
    EXPECT_EQ(window.caption(), countdown(0));

    window.tick();

    EXPECT_EQ(linesWith(window.lines(), "t18"), 1);
    EXPECT_EQ(window.caption(), countdown(5));
}

TEST_F(Scheduler, AWeekAtOneMinuteMissesAndDoublesNoRun)
{
    settings("From=/src\nTo=/dst\nInterval=1\n");
    load();
    window.click(Control::StartStop);
    constexpr int week = 7 * 24 * 60;

    ticks(week);

    EXPECT_EQ(window.lineCount(), 1 + week);
    EXPECT_EQ(linesWith(window.lines(), "t18"), week);
    EXPECT_EQ(form.state.elapsedMinutes, 0);
    EXPECT_EQ(window.caption(), countdown(1));
}

// The remembered disk is uuid:A, /dst is now on uuid:B. Only the user's own Start, or a destination the user
// names anew, takes the disk as it is; a start by the program (/s) must not take the disk under an unmounted one.
struct StartCase : NamedRow {
    const char* commandLine;
    bool userStarts;
    bool retyped; // the user typed the destination folder again before
    bool transferred;
};

using DiskAtStart = Table<SchedulerFixture, StartCase>;

TEST_P(DiskAtStart, OnlyTheUsersStartOrFolderTakesAnotherDisk)
{
    const StartCase& c = GetParam();
    files.addFile("/src/a", 1);
    settings("From=/src\nTo=/dst\nDoActionOnStart=1\nDestinationDisk=uuid:A /mnt/usb\n");
    drives.setDisk("/dst", "uuid:B", "/mnt/usb");
    load(c.commandLine);
    if (c.retyped) {
        window.type(Control::DestinationFolder, "/ds");
        window.type(Control::DestinationFolder, "/dst");
    }
    if (c.userStarts) {
        window.click(Control::StartStop);
    } else {
        window.appear();
    }

    EXPECT_EQ(files.transfers(),
        c.transferred ? std::vector<std::string> {"copy /src/a /dst/a"} : std::vector<std::string> {});
    EXPECT_EQ(stored("DestinationDisk"), c.transferred ? "uuid:B /mnt/usb" : "uuid:A /mnt/usb");
    EXPECT_EQ(linesWith(window.lines(), "t35: "), c.transferred ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Starts,
    DiskAtStart,
    ::testing::Values(StartCase {"UsersStart", "", true, false, true},
        StartCase {"SlashS", "/s", false, false, false},
        StartCase {"SlashSAfterTheUserNamedTheFolder", "/s", false, true, true}),
    rowName);

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
