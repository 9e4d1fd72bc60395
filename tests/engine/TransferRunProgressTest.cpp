#include "engine/TransferRun.h"
#include "form/PrintableName.h"
#include "schedule/RunScheduler.h"
#include "tests/MainFormFixture.h"
#include "tests/engine/RunLines.h"

#include <deque>
#include <gmock/gmock.h>
#include <new>
#include <utility>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace carrovex::testing
{

namespace
{

using TransferRun = MainFormFixture;

// A run as the user watches it: locked controls, its caption, Cancel, and the outcome lines of a batch.

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
        using enum Control;
        for (const Control control : {SourceFolder, DestinationFolder, BrowseSource, BrowseDestination, Quit}) {
            EXPECT_FALSE(window.isEnabled(control));
        }
        for (const Control control : {Interval, ShowLog, Overwrite}) {
            EXPECT_FALSE(window.isEnabled(control));
        }
        for (const Control control : {Move, Settings, StartStop}) {
            EXPECT_TRUE(window.isEnabled(control));
        }
    });

    DoAction(form);

    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(form.state.busy);
    EXPECT_FALSE(window.busyPointer());
    EXPECT_TRUE(window.isEnabled(Control::Overwrite));
    EXPECT_TRUE(window.isEnabled(Control::Quit));
    EXPECT_EQ(window.text(Control::StartStop), "t12");
    EXPECT_EQ(window.selectedLine(), window.lineCount() - 1);
}

TEST_F(TransferRun, ButtonShowsStopAfterARunWhileTheSchedulerIsStarted)
{
    choose(true);
    form.state.running = true;
    sourceFiles({"a.txt", "b.txt"});
    std::string caption;
    window.onProcessEvents([&] { caption = window.caption(); });

    DoAction(form);

    EXPECT_EQ(caption, "Carrovex Lite - t15 (t28 2 t30)");
    EXPECT_EQ(window.text(Control::StartStop), "t11");
}

// Only the bookkeeping around the files can throw (memory exhausted): the window stays usable.
TEST_F(TransferRun, ExhaustedMemoryLeavesTheWindowUsable)
{
    files.addFile("/src/a.txt", 1);
    window.onProcessEvents([] { throw std::bad_alloc(); });

    DoAction(form);

    EXPECT_FALSE(form.state.busy);
    EXPECT_FALSE(window.busyPointer());
    EXPECT_EQ(form.state.runErrors, 1);
    EXPECT_TRUE(window.isEnabled(Control::Quit));
}

TEST_F(TransferRun, ShowsControlCharactersInNamesEscaped)
{
    files.addFile("/src/two\nlines\t.txt", 1);

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t25: two\\nlines\\t.txt"));
    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/two\nlines\t.txt /dst/two\nlines\t.txt"));
}

// Valid UTF-8 and blanks stay; line breaks, controls and bytes that are not UTF-8 are escaped.
TEST(PrintableName, KeepsValidUtf8AndEscapesTheRest)
{
    const std::pair<const char*, const char*> cases[]
        = {{"Bericht März 2026 – 東京 😀.pdf", "Bericht März 2026 – 東京 😀.pdf"},
            {"a\nb\tc\rd\x01"
             "e\x7f",
                "a\\nb\\tc\\rd\\x01e\\x7F"},
            {"M\xE4rz", "M\\xE4rz"}, // Latin-1 ä
            {"\xC3", "\\xC3"}, // cut sequence
            {"\xC0\xAF", "\\xC0\\xAF"}, // overlong
            {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, // surrogate
            {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}}; // beyond U+10FFFF
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(printableName(name), shown);
    }
}

// Cancel is taken before the next file; the file in hand and the transfers already accepted are completed.
struct CancelCase : NamedRow {
    bool move;
    std::size_t batch;
    int cancelAt; // the processEvents call that asks to cancel, 0 for before the run
    Lines lines;
    int batches;
};

using TransferRunCancel = Table<MainFormFixture, CancelCase>;

TEST_P(TransferRunCancel, StopsAtTheNextFileAndCountsTheDoneOnes)
{
    const CancelCase& c = GetParam();
    choose(c.move);
    files.setBatchSize(c.batch);
    sourceFiles({"a", "b", "c"});
    form.state.cancelRequested = c.cancelAt == 0;
    window.onProcessEvents(
        [&] { form.state.cancelRequested = window.processEventsCalls() == c.cancelAt || form.state.cancelRequested; });

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAreArray(stamped(c.lines)));
    EXPECT_EQ(files.transfers().size(), c.lines.size() - 1);
    EXPECT_EQ(files.completeBatchCalls(), c.batches);
    EXPECT_FALSE(form.state.cancelRequested);
}

// Two yields per file: before its progress line, and after it.
INSTANTIATE_TEST_SUITE_P(Moments,
    TransferRunCancel,
    ::testing::Values(CancelCase {"BeforeTheFirstFile", false, 1, 0, {"t31: t25 0 t30"}, 0},
        CancelCase {"BetweenFiles", true, 1, 3, {"t26: a", "t31: t26 1 t29"}, 1},
        CancelCase {"DuringTheLastFile", false, 1, 6, {"t25: a", "t25: b", "t25: c", "t31: t25 3 t30"}, 3},
        CancelCase {"WithTransfersWaiting", false, 10, 4, {"t25: a", "t25: b", "t31: t25 2 t30"}, 1}),
    rowName);

// A large file shows how far it has got, and a Cancel says at once, in the caption and then on the
// progress line, that the run ends after the file in hand.
TEST_F(TransferRun, LargeFileShowsItsProgressAndThatCancelIsTaken)
{
    constexpr std::int64_t gibibyte = std::int64_t {1} << 30;
    drives.setFree("/", 2 * gibibyte);
    files.addFile("/src/big.bin", gibibyte);
    files.addFile("/src/next.bin", 1);
    std::vector<std::string> progress;
    std::string caption;
    files.onTransfer([&] {
        if (!progress.empty()) {
            return;
        }
        files.reportStaged(gibibyte / 8 * 3, gibibyte);
        progress.push_back(window.lines().back());
        StartStop_Click(form); // Cancel
        caption = window.caption();
        files.reportStaged(gibibyte, gibibyte);
        progress.push_back(window.lines().back());
    });

    DoAction(form);
    const std::deque<std::string> after = window.lines();
    files.reportStaged(1, 2); // the run's report went with the run

    const std::string stopping = " - stopping after the file in hand";
    EXPECT_THAT(progress,
        ElementsAre("t27: big.bin - 37 %, 384 of 1024 MiB", "t27: big.bin - 100 %, 1024 of 1024 MiB" + stopping));
    EXPECT_EQ(caption, "Carrovex Lite - t15 (t27 2 t30)" + stopping);
    EXPECT_THAT(after, ElementsAre(std::string(stamp) + "t25: big.bin", "t31: t25 1 t29"));
    EXPECT_EQ(window.lines(), after);
}

// A user watching a long run sees the file in hand at all times, and a "Moved" line only for a move that is
// complete: the lines of a batch come when the batch is, in the order of their files.
TEST_F(TransferRun, OutcomeLinesWaitForTheirBatch)
{
    choose(true);
    files.setBatchSize(2);
    sourceFiles({"a", "b", "c"});
    std::vector<std::deque<std::string>> seen;
    window.onProcessEvents([&] { seen.push_back(window.lines()); });

    DoAction(form);

    const std::string moved = std::string(stamp) + "t26: ";
    ASSERT_EQ(seen.size(), 6U);
    EXPECT_THAT(seen[1], ElementsAre("t28: a"));
    EXPECT_THAT(seen[2], ElementsAre("t28: a")) << "a waits in the batch: no outcome yet";
    EXPECT_THAT(seen[3], ElementsAre("t28: b"));
    EXPECT_THAT(seen[4], ElementsAre(moved + "a", moved + "b"));
    EXPECT_THAT(seen[5], ElementsAre(moved + "a", moved + "b", "t28: c"));
    EXPECT_THAT(window.lines(), ElementsAre(moved + "a", moved + "b", moved + "c"));
    EXPECT_EQ(files.completeBatchCalls(), 2);
}

} // namespace

} // namespace carrovex::testing
