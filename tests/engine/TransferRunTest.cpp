#include "engine/TransferRun.h"

#include "tests/MainFormFixture.h"

#include <deque>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

using TransferRun = MainFormFixture;

struct OutcomeCase {
    const char* name;
    bool move;
    bool destinationExists;
    bool overwrite;
    std::int64_t size;
    const char* line;
    bool transferred;

    friend void PrintTo(const OutcomeCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class TransferRunOutcome : public MainFormFixture, public ::testing::WithParamInterface<OutcomeCase>
{
};

TEST_P(TransferRunOutcome, WritesOneOutcomeLinePerFile)
{
    const OutcomeCase& c = GetParam();
    choose(c.move);
    overwrite(c.overwrite);
    files.addFile("/src/a.txt", c.size);
    if (c.destinationExists) {
        files.addFile("/dst/a.txt", 1);
    }
    window.appendLine("start line");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre("start line", std::string(stamp) + c.line));
    EXPECT_EQ(files.transfers().size(), c.transferred ? 1U : 0U);
    EXPECT_EQ(files.hasFile("/src/a.txt"), !(c.move && c.transferred));
    EXPECT_EQ(form.state.runErrors, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines,
    TransferRunOutcome,
    ::testing::Values(OutcomeCase {"Copied", false, false, false, 10, "t25: a.txt", true},
        OutcomeCase {"CopiedOver", false, true, true, 10, "t25 (t23): a.txt", true},
        OutcomeCase {"NotCopiedExists", false, true, false, 10, "t22 (t24): a.txt", false},
        OutcomeCase {"NotCopiedNoSpace", false, false, false, std::int64_t {2} << 30, "t22 - t20: a.txt", false},
        OutcomeCase {"Moved", true, false, false, 10, "t26: a.txt", true},
        OutcomeCase {"MovedOver", true, true, true, 10, "t26 (t23): a.txt", true},
        OutcomeCase {"NotMovedExists", true, true, false, 10, "t21 (t24): a.txt", false},
        OutcomeCase {"OverwriteNeedsNoRoom", false, true, true, std::int64_t {4} << 30, "t25 (t23): a.txt", true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TransferRun, EmptyFolderWritesOnlyTheNoFileLineEndingInABlank)
{
    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t18: t19 "));
    EXPECT_FALSE(form.state.busy);
    EXPECT_EQ(window.text(Control::StartStop), "");
    EXPECT_EQ(window.caption(), "");
    EXPECT_EQ(files.completeBatchCalls(), 0);
}

TEST_F(TransferRun, LocksTheControlsWhileFilesAreHandled)
{
    files.addFile("/src/a.txt", 1);
    bool busySeen = false;
    window.onProcessEvents([&] {
        busySeen = form.state.busy && window.busyPointer();
        EXPECT_EQ(window.caption(), "Carrovex Lite - t15 (t27 1 t29)");
        EXPECT_EQ(window.text(Control::StartStop), "t32");
        for (const Control control : {Control::SourceFolder,
                 Control::DestinationFolder,
                 Control::BrowseSource,
                 Control::BrowseDestination,
                 Control::Quit,
                 Control::Interval,
                 Control::ShowLog,
                 Control::Overwrite}) {
            EXPECT_FALSE(window.isEnabled(control));
        }
        for (const Control control : {Control::Move, Control::Settings, Control::StartStop}) {
            EXPECT_TRUE(window.isEnabled(control));
        }
    });

    DoAction(form);

    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(form.state.busy);
    EXPECT_FALSE(window.busyPointer());
    EXPECT_TRUE(window.isEnabled(Control::Overwrite));
    EXPECT_EQ(window.text(Control::StartStop), "t12");
    EXPECT_EQ(window.selectedLine(), window.lineCount() - 1);
}

TEST_F(TransferRun, ButtonShowsStopAfterARunWhileTheSchedulerIsStarted)
{
    choose(true);
    form.state.running = true;
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    std::string caption;
    window.onProcessEvents([&] { caption = window.caption(); });

    DoAction(form);

    EXPECT_EQ(caption, "Carrovex Lite - t15 (t28 2 t30)");
    EXPECT_EQ(window.text(Control::StartStop), "t11");
}

TEST_F(TransferRun, CancelBeforeTheFirstFileCountsNone)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    form.state.cancelRequested = true;

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre("t31: t25 0 t30")); // names the action even before a file
    EXPECT_TRUE(files.transfers().empty());
    EXPECT_FALSE(form.state.cancelRequested);
}

TEST_F(TransferRun, CancelDuringTheLastFileCompletesItAndCountsAll)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    // The second yield of each file comes after its progress line: the fourth is inside the last file.
    window.onProcessEvents(
        [&] { form.state.cancelRequested = window.processEventsCalls() == 4 || form.state.cancelRequested; });

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t25: a.txt", std::string(stamp) + "t25: b.txt", "t31: t25 2 t30"));
}

TEST_F(TransferRun, CancelBetweenFilesStopsAtTheNextFile)
{
    choose(true);
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    files.addFile("/src/c.txt", 1);
    window.onProcessEvents(
        [&] { form.state.cancelRequested = window.processEventsCalls() == 2 || form.state.cancelRequested; });

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t26: a.txt", "t31: t26 1 t29"));
    EXPECT_TRUE(files.hasFile("/src/b.txt"));
    EXPECT_EQ(files.completeBatchCalls(), 1);
}

TEST_F(TransferRun, FailedCopyLeavesOnlyItsErrorLineAndTheRunGoesOn)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    files.failCall(FakeFileSystem::Call::Start, 1, "Permission denied");

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t35: Permission denied - a.txt", std::string(stamp) + "t25: b.txt"));
    EXPECT_EQ(form.state.runErrors, 1);

    DoAction(form); // b.txt is there now; a run without failures counts none
    EXPECT_EQ(form.state.runErrors, 0);
}

TEST_F(TransferRun, FailedListingKeepsTheLineBeforeIt)
{
    window.appendLine("start line");
    files.failCall(FakeFileSystem::Call::List, 1, "No such file or directory");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre("start line", std::string(stamp) + "t35: No such file or directory - "));
    EXPECT_FALSE(form.state.busy);
    EXPECT_EQ(form.state.runErrors, 1);
}

TEST_F(TransferRun, FailedExistenceTestCountsAsExisting)
{
    files.addFile("/src/a.txt", 1);
    files.failCall(FakeFileSystem::Call::FileExists, 1, "Input/output error");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: Input/output error - a.txt"));
    EXPECT_TRUE(files.transfers().empty());
}

TEST_F(TransferRun, FailedExistenceTestWithOverwriteStillReplaces)
{
    overwrite(true);
    files.addFile("/src/a.txt", 1);
    files.failCall(FakeFileSystem::Call::FileExists, 1, "Input/output error");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: Input/output error - a.txt"));
    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/a.txt /dst/a.txt"));
}

TEST_F(TransferRun, FailedLengthUsesThePreviousFilesLength)
{
    drives.setFree("/", 3000);
    files.addFile("/src/a.txt", 100);
    files.addFile("/src/b.txt", 5000);
    files.failCall(FakeFileSystem::Call::FileLength, 2, "Input/output error");

    DoAction(form);

    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/a.txt /dst/a.txt", "copy /src/b.txt /dst/b.txt"));
    EXPECT_EQ(window.lines().back(), std::string(stamp) + "t35: Input/output error - b.txt");
}

TEST_F(TransferRun, FailedDriveComparisonCountsAsSameDrive)
{
    choose(true);
    drives.setFree("/", 2000);
    files.addFile("/src/big.bin", 1'000'000);
    drives.failDriveName("/src", "Input/output error");

    DoAction(form);

    EXPECT_THAT(files.transfers(), ElementsAre("move /src/big.bin /dst/big.bin"));
    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: Input/output error - big.bin"));
}

TEST_F(TransferRun, VanishedFileGetsItsErrorLineAndTheRunGoesOn)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 1) {
            files.removeFile("/src/a.txt");
        }
    });

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t35: No such file or directory - a.txt", std::string(stamp) + "t25: b.txt"));
}

TEST_F(TransferRun, TransferThatFailsToCompleteGetsOnlyItsErrorLine)
{
    choose(true);
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    files.failCall(FakeFileSystem::Call::Complete, 1, "The file changed while it was moved");

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t35: The file changed while it was moved - a.txt",
            std::string(stamp) + "t26: b.txt"));
    EXPECT_EQ(form.state.runErrors, 1);
    EXPECT_TRUE(files.hasFile("/src/a.txt"));
}

// The failures the platform finds itself read in the user's language; a language file written before
// those texts existed gets the English ones.
TEST_F(TransferRun, FailureFoundByThePlatformReadsInTheLanguageOfTheFile)
{
    textFiles.files[ini.languageFile] = "[frmMain]\nt70=Noch in Arbeit\n";
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    files.failCall(FakeFileSystem::Call::Start, 1, Problem::OpenForWriting);
    files.failCall(FakeFileSystem::Call::Complete, 1, Problem::ChangedWhileCopied);

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t35: Noch in Arbeit - a.txt",
            std::string(stamp) + "t35: The file changed while it was copied - b.txt"));
}

// A user watching a long run sees the file in hand at all times, and a "Moved" line only for a move that is
// complete: the lines of a batch come when the batch is, in the order of their files.
TEST_F(TransferRun, OutcomeLinesWaitForTheirBatch)
{
    choose(true);
    files.setBatchSize(2);
    for (const char* name : {"a", "b", "c"}) {
        files.addFile(std::string("/src/") + name, 1);
    }
    std::vector<std::deque<std::string>> seen;
    window.onProcessEvents([&] { seen.push_back(window.lines()); });

    DoAction(form);

    const std::string moved = std::string(stamp) + "t26: ";
    // Two yields per file: before its placeholder, and after its progress line.
    ASSERT_EQ(seen.size(), 6U);
    EXPECT_THAT(seen[1], ElementsAre("t28: a"));
    EXPECT_THAT(seen[2], ElementsAre("t28: a")) << "a waits in the batch: no outcome yet";
    EXPECT_THAT(seen[3], ElementsAre("t28: b"));
    EXPECT_THAT(seen[4], ElementsAre(moved + "a", moved + "b"));
    EXPECT_THAT(seen[5], ElementsAre(moved + "a", moved + "b", "t28: c"));
    EXPECT_THAT(window.lines(), ElementsAre(moved + "a", moved + "b", moved + "c"));
    EXPECT_EQ(files.completeBatchCalls(), 2);
}

TEST_F(TransferRun, CancelCompletesTheWaitingTransfersBeforeItsLine)
{
    files.setBatchSize(10);
    files.addFile("/src/a", 1);
    files.addFile("/src/b", 1);
    window.onProcessEvents([&] { form.state.cancelRequested = window.processEventsCalls() == 3; });

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t25: a", "t31: t25 1 t29"));
    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/a /dst/a"));
}

struct ExistingCase {
    const char* name;
    bool move;
    bool overwrite;
    bool identical;
    bool sameFile;
    const char* line;
    const char* transfer;

    friend void PrintTo(const ExistingCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class TransferRunExisting : public MainFormFixture, public ::testing::WithParamInterface<ExistingCase>
{
};

// A move that a kill or a power cut interrupted left a byte-identical copy: it is finished, never repeated,
// and never "finished" onto the file itself.
TEST_P(TransferRunExisting, DecidesByTheFileThatIsThere)
{
    const ExistingCase& c = GetParam();
    choose(c.move);
    overwrite(c.overwrite);
    files.addFile("/src/a", 5, "bytes");
    files.addFile("/dst/a", 5, c.identical ? "bytes" : "other");
    if (c.sameFile) {
        files.linkFiles("/src/a", "/dst/a");
    }

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + c.line));
    if (*c.transfer == '\0') {
        EXPECT_TRUE(files.transfers().empty());
    } else {
        EXPECT_THAT(files.transfers(), ElementsAre(c.transfer));
    }
}

INSTANTIATE_TEST_SUITE_P(Destinations,
    TransferRunExisting,
    ::testing::Values(
        ExistingCase {"MoveFinishesAnIdenticalCopy", true, false, true, false, "t26: a", "finish /src/a /dst/a"},
        ExistingCase {"MoveFinishesAlsoWithOverwrite", true, true, true, false, "t26: a", "finish /src/a /dst/a"},
        ExistingCase {"MoveKeepsADifferentFile", true, false, false, false, "t21 (t24): a", ""},
        ExistingCase {"MoveReplacesADifferentFile", true, true, false, false, "t26 (t23): a", "move /src/a /dst/a"},
        ExistingCase {"MoveNeverFinishesOntoItself", true, false, true, true, "t21 (t24): a", ""},
        ExistingCase {"CopyLeavesAnIdenticalCopy", false, false, true, false, "t22 (t24): a", ""},
        ExistingCase {"CopyReplacesWithOverwrite", false, true, true, false, "t25 (t23): a", "copy /src/a /dst/a"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TransferRun, SameFolderOnBothSidesKeepsEveryFile)
{
    overwrite(true);
    choose(true);
    window.setText(Control::DestinationFolder, "/src");
    files.addFile("/src/a.txt", 1);

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t21 (t24): a.txt"));
    EXPECT_TRUE(files.transfers().empty());
    EXPECT_TRUE(files.hasFile("/src/a.txt"));
}

TEST_F(TransferRun, HardLinkInTheDestinationIsNotReplacedByItself)
{
    overwrite(true);
    files.addFile("/src/a.txt", 1);
    files.addFile("/dst/a.txt", 1);
    files.linkFiles("/src/a.txt", "/dst/a.txt");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t22 (t24): a.txt"));
    EXPECT_TRUE(files.transfers().empty());
}

TEST_F(TransferRun, FailedSameFileTestTransfersNothing)
{
    overwrite(true);
    files.addFile("/src/a.txt", 1);
    files.addFile("/dst/a.txt", 1);
    files.failCall(FakeFileSystem::Call::SameFile, 1, "Permission denied");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: Permission denied - a.txt"));
    EXPECT_TRUE(files.transfers().empty());
}

TEST_F(TransferRun, ShowsControlCharactersInNamesEscaped)
{
    files.addFile("/src/two\nlines\t.txt", 1);

    DoAction(form);

    ASSERT_EQ(window.lineCount(), 1);
    EXPECT_EQ(window.lines()[0], std::string(stamp) + "t25: two\\nlines\\t.txt");
    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/two\nlines\t.txt /dst/two\nlines\t.txt"));
}

struct SpaceCase {
    const char* name;
    bool move;
    const char* sourceDrive;
    std::uint64_t free;
    std::int64_t size;
    bool transferred;

    friend void PrintTo(const SpaceCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class TransferRunSpace : public MainFormFixture, public ::testing::WithParamInterface<SpaceCase>
{
};

TEST_P(TransferRunSpace, KeepsMoreThan1024BytesFree)
{
    const SpaceCase& c = GetParam();
    choose(c.move);
    drives.setDrive("/src", c.sourceDrive);
    drives.setDrive("/dst", "C:");
    drives.setFree("C:", c.free);
    files.addFile("/src/f", c.size);

    DoAction(form);

    EXPECT_EQ(files.transfers().size(), c.transferred ? 1U : 0U);
}

constexpr std::uint64_t F = 1'000'000;
constexpr std::int64_t GiB = std::int64_t {1} << 30;

INSTANTIATE_TEST_SUITE_P(Boundaries,
    TransferRunSpace,
    ::testing::Values(SpaceCase {"CopyFitsWith1025Spare", false, "C:", F, F - 1025, true},
        SpaceCase {"CopyRefusedWith1024Spare", false, "C:", F, F - 1024, false},
        SpaceCase {"SameDriveMoveIgnoresLength", true, "C:", 1025, 5 * GiB, true},
        SpaceCase {"SameDriveMoveNeedsMoreThan1024Free", true, "C:", 1024, 1, false},
        SpaceCase {"LetterCaseMakesAnotherDrive", true, "c:", F, F, false},
        SpaceCase {"OtherDriveMoveFits", true, "D:", F, F - 1025, true},
        SpaceCase {"ThreeGiBCopiedWhenItFits", false, "C:", 4 * GiB, 3 * GiB, true},
        SpaceCase {"ThreeGiBRefusedWhenItDoesNot", false, "C:", 2 * GiB, 3 * GiB, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TransferRun, DestinationWithoutADriveAdmitsOnlyReplacements)
{
    window.setText(Control::DestinationFolder, "//server/share");
    files.addFolder("//server/share");
    drives.setDrive("//server/share", "//server/share");
    overwrite(true);
    files.addFile("/src/new.txt", 1);
    files.addFile("/src/old.txt", 1);
    files.addFile("//server/share/old.txt", 1);

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t22 - t20: new.txt", std::string(stamp) + "t25 (t23): old.txt"));
}

} // namespace

} // namespace carrovex::testing
