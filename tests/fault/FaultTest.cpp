#include "platform/posix/PosixFileSystem.h"
#include "tests/TableRows.h"
#include "tests/posix/DiskFixtures.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace carrovex::testing
{

namespace
{

class Fault : public ::testing::Test
{
protected:
    void TearDown() override
    {
        ::unsetenv("CARROVEX_FAULT");
    }

    static void inject(const char* fault)
    {
        ::setenv("CARROVEX_FAULT", fault, 1);
    }

    // The destination folder, on a second file system for a transfer across.
    std::string target(bool across) const
    {
        return across ? disk.path() : destination;
    }

    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    TmpfsMount disk {temp.path() + "/mnt", "4m"};
    posix::PosixFileSystem files {settlingQuickly};
};

// File systems without unnamed files, the no-replace rename, hard links, permission bits or a kernel copy
// (FAT and exFAT through FUSE, network file systems) still get every file whole, and never lose one there.
struct FallbackCase : NamedRow {
    const char* faults;
    Transfer how;
    bool across;
};

using FaultFallback = Table<Fault, FallbackCase>;

TEST_P(FaultFallback, PlacesWholeFilesWithoutReplacing)
{
    const FallbackCase& c = GetParam();
    if (c.across) {
        SKIP_UNLESS_MOUNTED(disk);
    }
    const std::string to = target(c.across);
    const std::string mine(3 << 20, 'm'); // larger than one read of the copy by hand
    writeFile(source + "/a.txt", mine);
    writeFile(source + "/b.txt", "mine too");
    writeFile(to + "/b.txt", "theirs");
    inject(c.faults);

    EXPECT_TRUE(transferNow(files, source + "/a.txt", to + "/a.txt", c.how).ok());
    EXPECT_EQ(transferNow(files, source + "/b.txt", to + "/b.txt", c.how).error(), "File exists");

    EXPECT_EQ(entriesOf(source), c.how == Transfer::Move ? "b.txt" : "a.txt b.txt");
    EXPECT_EQ(entriesOf(to), "a.txt b.txt");
    EXPECT_EQ(readFile(to + "/a.txt"), mine);
    EXPECT_EQ(readFile(to + "/b.txt"), "theirs");
}

INSTANTIATE_TEST_SUITE_P(Faults,
    FaultFallback,
    ::testing::Values(FallbackCase {"NoRenameFlagMove", "rename-flag-refused", Transfer::Move, false},
        FallbackCase {"NoRenameFlagMoveAcross", "rename-flag-refused", Transfer::Move, true},
        FallbackCase {"NoKernelCopy", "no-kernel-copy", Transfer::Copy, false},
        FallbackCase {"NamedStagingCopy", "no-unnamed-files", Transfer::Copy, false},
        FallbackCase {"NamedStagingWhereUnnamedIsInvalid", "unnamed-files-invalid", Transfer::Copy, false},
        FallbackCase {"NamedStagingWhereUnnamedIsUnknown", "unnamed-files-unknown", Transfer::Copy, false},
        FallbackCase {"FolderFlushUnsupportedMoveAcross", "folder-flush-unsupported", Transfer::Move, true},
        FallbackCase {"LinkThroughProcCopy", "no-descriptor-links", Transfer::Copy, false},
        FallbackCase {"RemovableDiskCopy", "no-unnamed-files,rename-flag-refused,no-hard-links", Transfer::Copy, false},
        FallbackCase {"RemovableDiskMove", "rename-flag-refused,no-hard-links", Transfer::Move, false},
        FallbackCase {"PermissionsRefusedCopy", "chmod-refused", Transfer::Copy, false}),
    rowName);

// A fault in the middle of a transfer fails it and leaves the source, and whatever the destination held, as
// they were.
struct FailureCase : NamedRow {
    const char* faults;
    std::size_t size;
    Transfer how;
    bool across;
    const char* error; // "" for any
};

using FaultFailure = Table<Fault, FailureCase>;

TEST_P(FaultFailure, LeavesNoPartialFile)
{
    const FailureCase& c = GetParam();
    if (c.across) {
        SKIP_UNLESS_MOUNTED(disk);
    }
    const std::string to = target(c.across);
    const std::string content(c.size, 'x');
    writeFile(source + "/a.txt", content);
    // Set-user-ID, which no new file has: the copy must always set the permissions itself.
    ASSERT_EQ(::chmod((source + "/a.txt").c_str(), 04644), 0);
    writeFile(to + "/old.txt", "old");
    inject(c.faults);

    const Status outcome = transferNow(files, source + "/a.txt", to + "/a.txt", c.how);
    ::unsetenv("CARROVEX_FAULT"); // the test's own reads see the disk as it is

    EXPECT_FALSE(outcome.ok());
    if (*c.error != '\0') {
        EXPECT_EQ(outcome.error(), c.error);
    }
    EXPECT_EQ(entriesOf(to), "old.txt");
    EXPECT_EQ(readFile(to + "/old.txt"), "old");
    const std::string faults = c.faults;
    const bool grows = faults == "source-grows";
    const bool shrinks = faults.find("source-shrinks") != std::string::npos;
    EXPECT_EQ(readFile(source + "/a.txt"), grows ? content + "+" : shrinks ? content.substr(0, 1) : content);
}

constexpr const char* ioError = "Input/output error";
constexpr const char* changed = "The file changed while it was copied";

INSTANTIATE_TEST_SUITE_P(Faults,
    FaultFailure,
    ::testing::Values(FailureCase {"IoErrorMidCopy", "io-error-mid-copy", 1 << 20, Transfer::Copy, false, ioError},
        FailureCase {"IoErrorWhileRead", "no-kernel-copy,read-fails", 666, Transfer::Copy, false, ioError},
        FailureCase {"PermissionsFail", "chmod-fails", 7, Transfer::Copy, false, ioError},
        FailureCase {"TimesFail", "times-fail", 7, Transfer::Copy, false, ioError},
        FailureCase {"FailingClose", "no-unnamed-files,close-fails", 7, Transfer::Copy, false, ioError},
        FailureCase {"SourceGrowsWhileCopied", "source-grows", 7, Transfer::Copy, false, changed},
        FailureCase {"SourceShrinksWhileCopied", "source-shrinks", 7, Transfer::Copy, false, changed},
        FailureCase {"SourceShrinksWhileRead", "no-kernel-copy,source-shrinks", 7, Transfer::Copy, false, changed},
        FailureCase {"SourceGrowsWhileMovedAcross", "source-grows", 7, Transfer::Move, true, ""},
        FailureCase {
            "QuotaExceeded", "no-unnamed-files,quota-exceeded", 7, Transfer::Copy, false, "Disk quota exceeded"}),
    rowName);

// A destination that keeps shorter names than the source folder (eCryptfs: 143 bytes) is named as the reason;
// a moved source whose name leaves no room for the hidden name it leaves under is removed by its name.
TEST_F(Fault, NameTooLongForTheDestinationIsRefusedAsAName)
{
    SKIP_UNLESS_MOUNTED(disk);
    const std::string name(150, 'n');
    const std::string shorter(140, 's');
    writeFile(source + "/" + name, "mine");
    writeFile(source + "/" + shorter, "mine too");
    inject("short-names");

    for (const bool across : {false, true}) {
        const Transfer how = across ? Transfer::Move : Transfer::Copy;
        const Status outcome = transferNow(files, source + "/" + name, target(across) + "/" + name, how);
        EXPECT_EQ(outcome.problem(), Problem::NameRefused) << outcome.error();
        EXPECT_EQ(entriesOf(target(across)), "");
    }
    const Status moved = transferNow(files, source + "/" + shorter, disk.path() + "/" + shorter, Transfer::Move);

    EXPECT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(entriesOf(source), name);
    EXPECT_EQ(readFile(source + "/" + name), "mine");
    EXPECT_EQ(readFile(disk.path() + "/" + shorter), "mine too");
}

// The names of the destination folder could not be made durable: the transfer failed, and a file moved across
// file systems stays in its source folder too.
TEST_F(Fault, FolderThatCannotBeFlushedFailsTheTransfer)
{
    SKIP_UNLESS_MOUNTED(disk);
    writeFile(source + "/a.txt", "mine");
    inject("folder-flush-fails");

    EXPECT_EQ(
        transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(), "Input/output error");
    EXPECT_EQ(
        transferNow(files, source + "/a.txt", disk.path() + "/a.txt", Transfer::Move).error(), "Input/output error");
    EXPECT_EQ(readFile(source + "/a.txt"), "mine");

    // Renamed within one file system, the file is whole in its new place, but the rename may not last.
    EXPECT_EQ(
        transferNow(files, source + "/a.txt", destination + "/b.txt", Transfer::Move).error(), "Input/output error");
    EXPECT_EQ(readFile(destination + "/b.txt"), "mine");
}

// One batch with files for two folders: the folder whose names could not be made durable fails only its own
// files. The fault strikes the flush of a folder itself; a drop folder that may not be read is flushed through
// its file system instead.
TEST_F(Fault, FolderThatCannotBeFlushedFailsOnlyItsOwnFiles)
{
    const std::string dropFolder = temp.folder("drop");
    for (const std::string name : {"a", "b"}) {
        writeFile(source + "/" + name, name);
        settleFile(source + "/" + name); // another user's files: no lease, only the settle time
    }
    ::chmod(temp.path().c_str(), 0755);
    ::chmod(destination.c_str(), 0777);
    ::chmod(dropFolder.c_str(), 0733);
    inject("folder-flush-fails");

    EXPECT_TRUE(asUnprivilegedUser([&] {
        posix::PosixFileSystem unprivileged(settlingQuickly);
        const bool started = unprivileged.startTransfer(source + "/a", destination + "/a", Transfer::Copy).ok()
            && unprivileged.startTransfer(source + "/b", dropFolder + "/b", Transfer::Copy).ok();
        const std::vector<Placed> outcomes = unprivileged.completeBatch();
        return started && outcomes.size() == 2 && outcomes[0].error() == "Input/output error" && outcomes[1].ok();
    }));
    EXPECT_EQ(entriesOf(dropFolder), "b");
}

// Another program comes for a moved file after the last check: it asks to write it while the names of its
// batch are made durable, or opens it for writing by its name, or puts its own file at the name, just as the
// source is being removed; or, locking nothing, it takes the file away just before the lock is had, or once
// its copy is placed. Whatever it wrote or put there stays in the source folder, the file is not told as
// moved, and a file taken is told as taken, with its copy where one stays, never as one that stays.
struct LateCase : NamedRow {
    const char* fault;
    bool across;
    Problem problem;
    const char* sourceAfter; // under its name, or under ".taken" added where it was taken
    bool copyPlaced;
};

using FaultLate = Table<Fault, LateCase>;

TEST_P(FaultLate, KeepsWhatTheOtherProgramWrote)
{
    const LateCase& c = GetParam();
    if (c.across) {
        SKIP_UNLESS_MOUNTED(disk);
    }
    writeFile(source + "/a.txt", "mine");
    for (const char* variable : {"CARROVEX_WRITER", "CARROVEX_TAKEN"}) {
        ::setenv(variable, (source + "/a.txt").c_str(), 1);
    }
    inject(c.fault);

    const Status outcome = transferNow(files, source + "/a.txt", target(c.across) + "/a.txt", Transfer::Move);
    ::unsetenv("CARROVEX_WRITER");
    ::unsetenv("CARROVEX_TAKEN");
    while (::wait(nullptr) > 0) { }

    const std::string left = std::string("a.txt") + (std::strncmp(c.fault, "taken", 5) == 0 ? ".taken" : "");
    EXPECT_EQ(outcome.problem(), c.problem) << outcome.error();
    EXPECT_EQ(files.listPlainFiles(source).value(), std::vector<std::string> {left});
    EXPECT_EQ(readFile(source + "/" + left), c.sourceAfter);
    EXPECT_EQ(entriesOf(target(c.across)), c.copyPlaced ? "a.txt" : "");
    EXPECT_EQ(readFile(target(c.across) + "/a.txt"), c.copyPlaced ? "mine" : "");
}

INSTANTIATE_TEST_SUITE_P(Moments,
    FaultLate,
    ::testing::Values(
        LateCase {"WriterAtFolderFlush", "writer-at-folder-flush", true, Problem::OpenForWriting, "mine", true},
        LateCase {"WriterAtRemoval", "writer-at-removal", true, Problem::OpenForWriting, "mine and theirs", true},
        LateCase {"ReplacedAtRemoval", "replaced-at-removal", true, Problem::ChangedWhileMoved, "theirs", true},
        LateCase {"TakenBeforeLock", "taken-before-lock", false, Problem::TakenByAnother, "mine", false},
        LateCase {"TakenBeforeLockAcross", "taken-before-lock", true, Problem::TakenByAnother, "mine", false},
        LateCase {"TakenAtFolderFlush", "taken-at-folder-flush", true, Problem::TakenLeavingCopy, "mine", true}),
    rowName);

// Another program takes the file away and writes a new one under its name just before the lock is had:
// the new file was never looked at, so it is not moved in the listed file's place.
TEST_F(Fault, FileReplacedBeforeTheLockIsLeftAlone)
{
    writeFile(source + "/a.txt", "mine");
    ::setenv("CARROVEX_TAKEN", (source + "/a.txt").c_str(), 1);
    inject("replaced-before-lock");

    const Status outcome = transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Move);
    ::unsetenv("CARROVEX_TAKEN");

    EXPECT_EQ(outcome.problem(), Problem::TakenByAnother) << outcome.error();
    EXPECT_EQ(readFile(source + "/a.txt"), "theirs");
    EXPECT_EQ(readFile(source + "/a.txt.taken"), "mine");
    EXPECT_EQ(entriesOf(destination), "");
}

// The program ends before its batch completes: no copy is left behind, not even a named one.
TEST_F(Fault, BatchDroppedBeforeItCompletesLeavesNoCopy)
{
    writeFile(source + "/a.txt", "mine");
    inject("no-unnamed-files");
    {
        posix::PosixFileSystem ending;
        ASSERT_TRUE(ending.startTransfer(source + "/a.txt", destination + "/a.txt", Transfer::Copy).ok());
        ASSERT_NE(entriesOf(destination), "") << "the named copy waits for its batch";
    }

    EXPECT_EQ(entriesOf(destination), "");
    EXPECT_EQ(readFile(source + "/a.txt"), "mine");
}

// Another program writes the same name while the copy is on its way: its file stays, and the copy says so.
struct StagingCase : NamedRow {
    const char* faults;
};

using FaultRace = Table<Fault, StagingCase>;

TEST_P(FaultRace, FileAppearingDuringACopyIsNeverReplaced)
{
    writeFile(source + "/a.txt", "mine");
    inject(GetParam().faults);

    EXPECT_EQ(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(), "File exists");

    EXPECT_EQ(readFile(destination + "/a.txt"), "theirs");
    EXPECT_EQ(entriesOf(destination), "a.txt");
}

INSTANTIATE_TEST_SUITE_P(Staging,
    FaultRace,
    ::testing::Values(StagingCase {"UnnamedCopy", "destination-appears"},
        StagingCase {"UnnamedCopyLinkedThroughProc", "destination-appears,no-descriptor-links"},
        StagingCase {"NamedCopy", "destination-appears,no-unnamed-files"}),
    rowName);

// The disk loses data after write() succeeded: only the files it concerns fail, and none of them shows up
// under its name or as a leftover copy, while the others are complete; with unnamed and with named copies.
using FaultWriteBack = Table<Fault, StagingCase>;

TEST_P(FaultWriteBack, FailureIsAnErrorForTheFilesItConcerns)
{
    const std::vector<std::string> names = {"a", "b", "lost", "c", "d", "e"};
    for (const std::string& name : names) {
        writeFile(source + "/" + name, std::string(name == "lost" ? 666 : 100, 'x'));
    }
    inject(GetParam().faults);

    for (const std::string& name : names) {
        ASSERT_TRUE(files.startTransfer(source + "/" + name, destination + "/" + name, Transfer::Copy).ok());
    }
    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 6U);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i].ok(), i != 2) << i;
    }
    EXPECT_EQ(outcomes[2].error(), "Input/output error");
    EXPECT_EQ(entriesOf(destination), "a b c d e");
}

INSTANTIATE_TEST_SUITE_P(Staging,
    FaultWriteBack,
    ::testing::Values(
        StagingCase {"Unnamed", "writeback-fails"}, StagingCase {"Named", "writeback-fails,no-unnamed-files"}),
    rowName);

} // namespace

} // namespace carrovex::testing

// The faults come from a library preloaded into this program: start again with it when it is missing.
int main(int argc, char** argv)
{
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, CARROVEX_FAULT_SHIM) == nullptr) {
        ::setenv("LD_PRELOAD", CARROVEX_FAULT_SHIM, 1);
        ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        ::execv("/proc/self/exe", argv);
        return 127;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
