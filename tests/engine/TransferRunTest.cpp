#include "engine/TransferRun.h"

#include "engine/FreeSpaceProbe.h"
#include "form/LaterTexts.h"
#include "store/BuiltInEnglish.h"
#include "tests/MainFormFixture.h"
#include "tests/engine/RunLines.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace carrovex::testing
{

namespace
{

using TransferRun = MainFormFixture;

// What a run of one file a (content "bytes") does to it, and to what the destination holds.
enum class Alias { None, HardLink, SameFolder };

struct DestinationCase : NamedRow {
    bool move;
    bool overwrite;
    const char* existing; // content of /dst/a, none if null
    Alias alias;
    std::int64_t size;
    const char* line;
    const char* transfer; // "copy", "move" or "finish" of /src/a to /dst/a, none if empty
};

using TransferRunDestination = Table<MainFormFixture, DestinationCase>;

constexpr std::int64_t GiB = std::int64_t {1} << 30;

// A move that a kill or a power cut interrupted left a byte-identical copy: it is finished, never repeated,
// and never "finished" onto the file itself; nothing is ever replaced by itself.
TEST_P(TransferRunDestination, WritesOneOutcomeLineAndTransfersOnlyWhatTheRulesAllow)
{
    const DestinationCase& c = GetParam();
    choose(c.move);
    overwrite(c.overwrite);
    files.addFile("/src/a", c.size, "bytes");
    if (c.existing != nullptr) {
        files.addFile("/dst/a", c.size, c.existing);
    }
    if (c.alias == Alias::HardLink) {
        files.linkFiles("/src/a", "/dst/a");
    } else if (c.alias == Alias::SameFolder) {
        window.setText(Control::DestinationFolder, "/src");
    }
    window.appendLine("start line");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre("start line", std::string(stamp) + c.line));
    EXPECT_EQ(files.transfers(), *c.transfer == '\0' ? Lines {} : Lines {std::string(c.transfer) + " /src/a /dst/a"});
    EXPECT_EQ(form.state.runErrors, 0);
    // Only a run that placed a file there tells a later run which disk the destination is on.
    EXPECT_EQ(stored("DestinationDisk") == "(missing)", *c.transfer == '\0');
}

constexpr Alias None = Alias::None;

INSTANTIATE_TEST_SUITE_P(Rules,
    TransferRunDestination,
    ::testing::Values(DestinationCase {"Copied", false, false, nullptr, None, 10, "t25: a", "copy"},
        DestinationCase {"Moved", true, false, nullptr, None, 10, "t26: a", "move"},
        DestinationCase {"NotCopiedNoSpace", false, false, nullptr, None, 2 * GiB, "t22 - t20: a", ""},
        DestinationCase {"CopyKeepsExisting", false, false, "other", None, 10, "t22 (t24): a", ""},
        DestinationCase {"CopyKeepsIdentical", false, false, "bytes", None, 10, "t22 (t24): a", ""},
        DestinationCase {"CopiedOver", false, true, "other", None, 10, "t25 (t23): a", "copy"},
        DestinationCase {"CopiedOverIdentical", false, true, "bytes", None, 10, "t25 (t23): a", "copy"},
        DestinationCase {"OverwriteNeedsNoRoom", false, true, "other", None, 4 * GiB, "t25 (t23): a", "copy"},
        DestinationCase {"MoveKeepsExisting", true, false, "other", None, 10, "t21 (t24): a", ""},
        DestinationCase {"MovedOver", true, true, "other", None, 10, "t26 (t23): a", "move"},
        DestinationCase {"MoveFinishesIdentical", true, false, "bytes", None, 10, "t26: a", "finish"},
        DestinationCase {"MoveFinishesAlsoWithOverwrite", true, true, "bytes", None, 10, "t26: a", "finish"},
        DestinationCase {"MoveNeverFinishesOntoItself", true, false, "bytes", Alias::HardLink, 10, "t21 (t24): a", ""},
        DestinationCase {"LinkNotCopiedOverItself", false, true, "bytes", Alias::HardLink, 10, "t22 (t24): a", ""},
        DestinationCase {"SameFolderKeepsTheFile", true, true, nullptr, Alias::SameFolder, 10, "t21 (t24): a", ""}),
    rowName);

// With KeepBoth, a file whose name is taken goes in beside the other under the first free numbered name,
// unless a file of that name family already holds its bytes. /dst holds the files given, as name=content.
struct KeepBothCase : NamedRow {
    const char* run; // "copy" or "move", "copy over" with Overwrite
    std::string file; // in /src, content "bytes"
    Lines existing;
    std::string placed; // the transfer as its kind and the name in /dst, none if empty
    std::string outcome = ""; // the file's line, unless the run says it kept it under the placed name
    std::int64_t size = 10;
    bool raced = false; // another program makes the first free numbered name while the file is staged
};

class TransferRunKeepBoth : public Table<MainFormFixture, KeepBothCase>
{
protected:
    TransferRunKeepBoth()
    {
        textFiles.files[ini.settingsFile] = "[Options]\nKeepBoth=1\n";
    }
};

TEST_P(TransferRunKeepBoth, PlacesATakenNameUnderTheFirstFreeNumberAndNamesBoth)
{
    const KeepBothCase& c = GetParam();
    const std::string run = c.run;
    choose(run.starts_with("move"));
    overwrite(run.ends_with("over"));
    files.addFile("/src/" + c.file, c.size, "bytes");
    for (const std::string& file : c.existing) {
        const auto equals = file.find('=');
        files.addFile("/dst/" + file.substr(0, equals), c.size, file.substr(equals + 1));
    }
    if (c.raced) {
        files.onTransfer([&] { files.addFile("/dst/a (2).txt", 1, "theirs"); });
    }

    DoAction(form);

    const std::size_t space = c.placed.find(' ');
    const std::string kind = c.placed.substr(0, space);
    const std::string placed = space == std::string::npos ? "" : c.placed.substr(space + 1);
    const std::string outcome = c.outcome.empty()
        ? (run.starts_with("move") ? "t26 (name taken, kept as " : "t25 (name taken, kept as ") + placed + ")"
        : c.outcome;
    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + outcome + ": " + c.file));
    EXPECT_EQ(files.transfers(), c.placed.empty() ? Lines {} : Lines {kind + " /src/" + c.file + " /dst/" + placed});
}

INSTANTIATE_TEST_SUITE_P(Names,
    TransferRunKeepBoth,
    ::testing::ValuesIn(std::vector<KeepBothCase> {
        {"NumberBeforeTheExtension", "copy", "a.txt", {"a.txt=other"}, "copy a (2).txt"},
        {"NumberAtTheEndOfANameWithoutExtension", "move", "a", {"a=other"}, "move a (2)"},
        {"NumberBeforeTheLastExtensionOnly", "copy", "x.tar.gz", {"x.tar.gz=other"}, "copy x.tar (2).gz"},
        {"SecondNumberTakenToo", "move", "a.txt", {"a.txt=other", "a (2).txt=another"}, "move a (3).txt"},
        {"NumberTakenWhileStaged", "copy", "a.txt", {"a.txt=other"}, "copy a (3).txt", "", 10, true},
        {"CopyKeptEarlierNotCopiedAgain", "copy", "a.txt", {"a.txt=other", "a (2).txt=bytes"}, "", "t22 (t24)"},
        {"IdenticalFileIsNotCopiedAgain", "copy", "a.txt", {"a.txt=bytes"}, "", "t22 (t24)"},
        {"CutMoveFinishedOntoItsNumberedCopy", "move", "a.txt", {"a.txt=other", "a (2).txt=bytes"}, "finish a (2).txt"},
        {"NeedsRoomForTheNewFile", "copy", "a.txt", {"a.txt=other"}, "", "t22 - t20", 2 * GiB},
        {"OverwriteStillReplaces", "copy over", "a.txt", {"a.txt=other"}, "copy a.txt", "t25 (t23)"}}),
    rowName);

TEST_F(TransferRun, KeepBothRefusesANumberedNameBeyondTheLengthLimit)
{
    textFiles.files[ini.settingsFile] = "[Options]\nKeepBoth=1\n";
    const std::string name = std::string(251, 'n') + ".txt";
    files.addFile("/src/" + name, 10, "bytes");
    files.addFile("/dst/" + name, 10, "other");

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t35: " + englishText(Problem::NumberedNameTooLong) + " - " + name));
    EXPECT_TRUE(files.transfers().empty());
}

// A step that fails gives the file one error line in place of its outcome, and the run goes on. Files a
// and b; with Overwrite, /dst/a exists too.
struct FailureCase : NamedRow {
    bool move;
    bool overwrite;
    FakeFileSystem::Call call;
    Lines lines;
    const char* transferred; // the names of the files transferred
};

using TransferRunFailure = Table<MainFormFixture, FailureCase>;

TEST_P(TransferRunFailure, GivesTheFileItsErrorLineAndGoesOn)
{
    const FailureCase& c = GetParam();
    choose(c.move);
    overwrite(c.overwrite);
    sourceFiles({"a", "b"});
    if (c.overwrite) {
        files.addFile("/dst/a", 1);
    }
    files.failCall(c.call, 1, "I/O error");
    window.appendLine("start line");

    DoAction(form);

    Lines expected = stamped(c.lines);
    expected.insert(expected.begin(), "start line");
    EXPECT_THAT(window.lines(), ElementsAreArray(expected));
    Lines transfers;
    for (const char* name = c.transferred; *name != '\0'; ++name) {
        transfers.push_back(std::string(c.move ? "move /src/" : "copy /src/") + *name + " /dst/" + *name);
    }
    EXPECT_EQ(files.transfers(), transfers);
    EXPECT_EQ(form.state.runErrors, 1);
    EXPECT_FALSE(form.state.busy);

    DoAction(form); // the failure struck once: the next run counts none
    EXPECT_EQ(form.state.runErrors, 0);
}

using Call = FakeFileSystem::Call;

// A failed test for an existing file counts as "it exists", and Overwrite then still replaces it.
INSTANTIATE_TEST_SUITE_P(Steps,
    TransferRunFailure,
    ::testing::Values(FailureCase {"Listing", false, false, Call::List, {"t35: I/O error - "}, ""},
        FailureCase {"Start", false, false, Call::Start, {"t35: I/O error - a", "t25: b"}, "b"},
        FailureCase {"Existence", false, false, Call::FileExists, {"t35: I/O error - a", "t25: b"}, "b"},
        FailureCase {"ExistenceWithOverwrite", false, true, Call::FileExists, {"t35: I/O error - a", "t25: b"}, "ab"},
        FailureCase {"SameFileTest", false, true, Call::SameFile, {"t35: I/O error - a", "t25: b"}, "b"},
        FailureCase {"SameContentTest", true, true, Call::SameContent, {"t35: I/O error - a", "t26: b"}, "b"},
        FailureCase {"Completion", true, false, Call::Complete, {"t35: I/O error - a", "t26: b"}, "b"},
        FailureCase {
            "NoAnswer", true, false, Call::Answer, {"t35: The outcome of the transfer is unknown - a", "t26: b"}, "b"}),
    rowName);

// The length of the file before stands in: b (5000 bytes) is taken as 100 bytes long.
TEST_F(TransferRun, FailedLengthUsesThePreviousFilesLength)
{
    drives.setFree("/", 3000);
    files.addFile("/src/a", 100);
    files.addFile("/src/b", 5000);
    files.failCall(Call::FileLength, 2, "I/O error");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t25: a", std::string(stamp) + "t35: I/O error - b"));
    EXPECT_EQ(files.transfers().size(), 2U);
}

// Without a file before, a length that cannot be read counts as 0 bytes.
TEST_F(TransferRun, FailedLengthOfTheFirstFileCountsAsEmpty)
{
    drives.setFree("/", 1025);
    files.addFile("/src/a", 100);
    files.failCall(Call::FileLength, 1, "I/O error");

    DoAction(form);

    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/a /dst/a"));
}

// A drive comparison that fails counts as the same drive: a move needs no room then.
TEST_F(TransferRun, FailedDriveComparisonCountsAsSameDrive)
{
    choose(true);
    drives.setFree("/", 2000);
    files.addFile("/src/big", 1'000'000);
    drives.failDriveName("/src", "I/O error");

    DoAction(form);

    EXPECT_THAT(files.transfers(), ElementsAre("move /src/big /dst/big"));
    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: I/O error - big"));
}

TEST_F(TransferRun, VanishedFileGetsItsErrorLineAndTheRunGoesOn)
{
    sourceFiles({"a", "b"});
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 1) {
            files.removeFile("/src/a");
        }
    });

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAreArray(stamped({"t35: No such file or directory - a", "t25: b"})));
}

// The failures the platform finds itself read in the user's language; a language file written before
// those texts existed gets the English ones.
TEST_F(TransferRun, FailureFoundByThePlatformReadsInTheLanguageOfTheFile)
{
    textFiles.files[ini.languageFile] = "[frmMain]\nt70=Noch in Arbeit\n";
    sourceFiles({"a", "b"});
    files.failCall(Call::Start, 1, Problem::OpenForWriting);
    files.failCall(Call::Complete, 1, Problem::ChangedWhileCopied);

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAreArray(stamped({"t35: Noch in Arbeit - a", "t35: The file changed while it was copied - b"})));
}

struct SpaceCase : NamedRow {
    bool move;
    const char* sourceDrive;
    std::uint64_t free;
    std::int64_t size;
    bool transferred;
};

using TransferRunSpace = Table<MainFormFixture, SpaceCase>;

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
    rowName);

// A batch asks the disk once while room is plenty; near the limit each file asks, and gets the outcome a
// fresh answer gives.
TEST_F(TransferRun, FreeSpaceIsAskedOncePerBatchUnlessRoomIsShort)
{
    files.setBatchSize(3);
    for (const char* name : {"/src/a", "/src/b", "/src/c"}) {
        files.addFile(name, 1000);
    }
    DoAction(form);
    EXPECT_EQ(drives.freeSpaceQueries(), 1);

    drives.setFree("/", 1024 + 2500);
    for (const char* name : {"/src/d", "/src/e", "/src/f"}) {
        files.addFile(name, 1000);
    }
    DoAction(form); // a, b and c are in the destination already
    EXPECT_EQ(drives.freeSpaceQueries(), 1 + 3);
    EXPECT_EQ(files.transfers().size(), 6U);
}

TEST(FreeSpaceProbe, NamesTheDriveAsTheTableKnowsItAndCapsAt32Bits)
{
    FakeDriveTable drives;
    drives.setFree("C:", 10000ULL * 8 * 512);
    drives.setFree("D:", 5ULL << 30);
    drives.setFree("/mnt/Backup", 4096);
    drives.setQueryFails("E:");
    const struct {
        const char* drive;
        std::int32_t free;
        const char* asked;
    } cases[] = {{"C:", 40'960'000, "C:"},
        {"c:", 40'960'000, "C:"},
        {"c", 40'960'000, "C:"},
        {"C:\\data\\in", 40'960'000, "C:"},
        {"/mnt/Backup", 4096, "/mnt/Backup"},
        {"/mnt/backup", -1, "/mnt/backup"}, // mount points keep their letter case
        {"D:", 2147483647, "D:"},
        {"e:", 0, "E:"}, // a failed query
        {"", -1, ""},
        {"z:", -1, "Z:"},
        {"Z", -1, "Z:"}, // the first and last letters of both cases are drive letters
        {"a", -1, "A:"},
        {"\\\\server\\share", -1, "\\\\server\\share"}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetDriveFreeSpace(c.drive, drives), c.free) << c.drive;
        EXPECT_EQ(drives.lastAsked(), c.asked) << c.drive;
    }
    EXPECT_EQ(driveFreeBytes("D:", drives), 5LL << 30); // the wide figure is whole
}

TEST_F(TransferRun, DestinationWithoutADriveAdmitsOnlyReplacements)
{
    window.setText(Control::DestinationFolder, "//server/share");
    files.addFolder("//server/share");
    drives.setDrive("//server/share", "//server/share");
    overwrite(true);
    sourceFiles({"new.txt", "old.txt"});
    files.addFile("//server/share/old.txt", 1);

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t22 - t20: new.txt", std::string(stamp) + "t25 (t23): old.txt"));
}

// The destination's disk against the one remembered from the last run that placed a file there: a disk not
// mounted leaves its mount point on the disk above it, where files would be hidden once it is back.
struct DiskCase : NamedRow {
    const char* remembered; // DestinationDisk in the settings file
    const char* now; // the file system of /dst now; its mount point is /mnt/usb unless bare
    bool bare; // /dst now lies on the disk above it, mounted at /
    bool anyDisk;
    bool transferred;
};

using TransferRunDisk = Table<MainFormFixture, DiskCase>;

TEST_P(TransferRunDisk, TransfersOnlyOntoTheDiskItWasAndRemembersIt)
{
    const DiskCase& c = GetParam();
    textFiles.files[ini.settingsFile] = std::string("[Options]\nDestinationDisk=") + c.remembered
        + "\nAnyDestinationDisk=" + (c.anyDisk ? "1" : "0") + "\n";
    drives.setDisk("/dst", c.now, c.bare ? "/" : "/mnt/usb");
    files.addFile("/src/a", 1);

    DoAction(form);

    const std::string now = std::string(c.now) + (c.bare ? " /" : " /mnt/usb");
    if (c.transferred) {
        EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t25: a"));
        EXPECT_EQ(form.state.runErrors, 0);
        EXPECT_EQ(stored("DestinationDisk"), now);
    } else {
        const std::string why = withArguments(builtInEnglish(static_cast<int>(LaterText::NotTheDiskItWas)), {"/dst"});
        EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t35: " + why));
        EXPECT_EQ(form.state.runErrors, 1);
        EXPECT_EQ(stored("DestinationDisk"), c.remembered);
    }
    EXPECT_EQ(files.transfers(), c.transferred ? Lines {"copy /src/a /dst/a"} : Lines {});
}

INSTANTIATE_TEST_SUITE_P(Disks,
    TransferRunDisk,
    ::testing::Values(DiskCase {"NoneRememberedTakesTheDiskThere", "", "uuid:B", false, false, true},
        DiskCase {"TheRememberedDisk", "uuid:A /mnt/usb", "uuid:A", false, false, true},
        DiskCase {"AnotherDiskRefused", "uuid:A /mnt/usb", "uuid:B", false, false, false},
        DiskCase {"BareMountPointRefused", "uuid:A /mnt/usb", "uuid:R", true, false, false},
        DiskCase {"AnyDiskTakesAnother", "uuid:A /mnt/usb", "uuid:B", false, true, true},
        DiskCase {"AnyDiskStillRefusesTheBareMountPoint", "uuid:A /mnt/usb", "uuid:R", true, true, false}),
    rowName);

// A settings file that cannot take the disk: this program keeps it, and the run says that a later start
// could not, once.
TEST_F(TransferRun, DiskThatCannotBeRememberedInTheSettingsFileIsToldOnce)
{
    textFiles.files[ini.settingsFile] = "[Options]\n";
    textFiles.unwritable.insert(ini.settingsFile);
    drives.setDisk("/dst", "uuid:A", "/mnt/usb");
    files.addFile("/src/a", 1);

    DoAction(form);
    files.addFile("/src/b", 1);
    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp) + "t25: a",
            ::testing::StartsWith(std::string(stamp) + "t35: The destination's disk could not be remembered in "),
            std::string(stamp) + "t22 (t24): a",
            std::string(stamp) + "t25: b"));
    EXPECT_EQ(form.state.runErrors, 0);
}

// Files a to d in batches of two: the disk goes during the second batch. Its files stay where the platform
// left them; the run says so once, blames no file, ends, and remembers no disk.
TEST_F(TransferRun, DiskGoneDuringTheRunEndsItWithOneLine)
{
    choose(true);
    files.setBatchSize(2);
    sourceFiles({"a", "b", "c", "d", "e"});
    files.failCall(Call::Complete, 3, Problem::DestinationDiskChanged);
    files.failCall(Call::Complete, 4, Problem::DestinationDiskChanged);

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAreArray(
            stamped({"t26: a", "t26: b", "t35: " + std::string(englishText(Problem::DestinationDiskChanged))})));
    EXPECT_THAT(files.transfers(), ElementsAre("move /src/a /dst/a", "move /src/b /dst/b"));
    EXPECT_EQ(form.state.runErrors, 1);
    EXPECT_EQ(stored("DestinationDisk"), "(missing)");
}

// The drive that the run has been filling, full to the last byte, is no longer mounted: no file is refused
// for want of room.
TEST_F(TransferRun, DriveGoneDuringTheRunEndsItWithOneLine)
{
    sourceFiles({"a", "b", "c"});
    drives.setFree("/", 0);
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 3) { // before b
            drives.removeDrive("/");
        }
    });

    DoAction(form);

    EXPECT_THAT(window.lines(),
        ElementsAreArray(
            stamped({"t22 - t20: a", "t35: " + std::string(englishText(Problem::DestinationDiskChanged))})));
    EXPECT_TRUE(files.transfers().empty());
    EXPECT_EQ(form.state.runErrors, 1);
}

} // namespace

} // namespace carrovex::testing
