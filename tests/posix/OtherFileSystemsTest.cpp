// Runs against what users meet beside a plain local disk: a second view of the source folder, removable-disk
// file systems through FUSE, a file that another program is still writing, a move that was cut short.
#include "tests/TableRows.h"
#include "tests/posix/RunOnDisk.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace carrovex::testing
{

namespace
{

struct ViewCase : NamedRow {
    bool move;
    bool overwrite;
    const char* line;
};

// The source folder seen through FUSE as well, as a network share of the drop folder would be.
class SourceView : public TransferRunOnDisk
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_MOUNTED(view);
    }

    ToolMount view {
        temp.path() + "/view", "bindfs", bindfsView(source, temp.path() + "/view"), unmountFuse(temp.path() + "/view")};
};

// A lease there sees only the writers of this machine: a file must have rested for the settle time.
TEST_F(SourceView, FileChangedMomentsAgoWaitsForALaterRun)
{
    use(view.path(), destination);
    writeFile(source + "/rested.txt", "old");
    settleFile(source + "/rested.txt");
    writeFile(source + "/fresh.txt", "new");

    DoAction(form);

    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(std::string(stamp)
                + "t35: The file changed within the settle time (SettleSeconds) and may still be written; it is left "
                  "for a later run - fresh.txt",
            std::string(stamp) + "t25: rested.txt"));
    EXPECT_EQ(entriesOf(destination), "rested.txt");
}

using ViewOfTheSource = Table<SourceView, ViewCase>;

// The destination is the source folder itself, reached through another file system: other device and inode
// numbers, the same files. Replacing one by its copy and then removing the "source" lost every file.
TEST_P(ViewOfTheSource, KeepsEveryFile)
{
    choose(GetParam().move, GetParam().overwrite);
    use(source, view.path());
    for (const char* name : {"a", "b", "c", "d"}) {
        writeFile(source + "/" + name, std::string("data of ") + name);
        settleFile(source + "/" + name);
    }

    DoAction(form);

    const std::string line = std::string(stamp) + GetParam().line;
    EXPECT_THAT(window.lines(), UnorderedElementsAre(line + "a", line + "b", line + "c", line + "d"));
    EXPECT_EQ(entriesOf(source), "a b c d");
    for (const char* name : {"a", "b", "c", "d"}) {
        EXPECT_EQ(readFile(source + "/" + name), std::string("data of ") + name);
    }
}

INSTANTIATE_TEST_SUITE_P(Views,
    ViewOfTheSource,
    ::testing::Values(ViewCase {"MoveOverwriting", true, true, "t21 (t24): "},
        ViewCase {"Move", true, false, "t21 (t24): "},
        ViewCase {"CopyOverwriting", false, true, "t22 (t24): "}),
    rowName);

struct DiskCase : NamedRow {
    bool exfat;
    bool move;
    bool overwrite = false;
};

class RemovableDisk : public Table<TransferRunOnDisk, DiskCase>
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_MOUNTED(disk);
    }

    std::string image = temp.path() + "/disk.img";
    std::string where = temp.path() + "/disk";
    ToolMount disk {where,
        GetParam().exfat ? "mount.exfat-fuse" : "fusefat",
        GetParam().exfat ? exfatThroughFuse(image, where) : fatThroughFuse(image, where),
        unmountFuse(where, GetParam().exfat ? image : "")};
};

// No unnamed files, no no-replace rename, no hard links, no permission bits (and through fusefat no chmod
// at all): every file still arrives whole, a file there is replaced only with Overwrite, and a name the disk
// cannot store is said to be the reason.
TEST_P(RemovableDisk, TakesEveryFileItCanName)
{
    const bool move = GetParam().move;
    const bool overwrite = GetParam().overwrite;
    choose(move, overwrite);
    use(source, disk.path());
    writeFile(source + "/report.txt", "report");
    writeFile(source + "/big.bin", std::string(3 << 20, 'b'));
    writeFile(source + "/time 12:30.txt", "colon");
    writeFile(disk.path() + "/taken.txt", "theirs");
    writeFile(source + "/taken.txt", "mine");
    for (const char* name : {"report.txt", "big.bin", "time 12:30.txt", "taken.txt"}) {
        settleFile(source + "/" + name);
    }

    DoAction(form);

    const std::string done = std::string(stamp) + (move ? "t26" : "t25");
    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(done + ": report.txt",
            done + ": big.bin",
            std::string(stamp) + "t35: The destination file system does not accept this file name - time 12:30.txt",
            overwrite ? done + " (t23): taken.txt"
                      : std::string(stamp) + (move ? "t21" : "t22") + " (t24): taken.txt"));
    EXPECT_EQ(readFile(disk.path() + "/report.txt"), "report");
    EXPECT_EQ(readFile(disk.path() + "/big.bin"), std::string(3 << 20, 'b'));
    EXPECT_EQ(readFile(disk.path() + "/taken.txt"), overwrite ? "mine" : "theirs");
    const std::string left = std::string(move && overwrite ? "" : "taken.txt ") + "time 12:30.txt";
    EXPECT_EQ(entriesOf(source), move ? left : "big.bin report.txt taken.txt time 12:30.txt");
}

INSTANTIATE_TEST_SUITE_P(Disks,
    RemovableDisk,
    ::testing::Values(DiskCase {"ExfatMove", true, true},
        DiskCase {"ExfatCopy", true, false},
        DiskCase {"FatMove", false, true},
        DiskCase {"FatCopy", false, false},
        DiskCase {"ExfatMoveReplacing", true, true, true},
        DiskCase {"FatCopyReplacing", false, false, true}),
    rowName);

struct WriterCase : NamedRow {
    bool move;
    bool otherDisk;
};

class FileInUse : public Table<TransferRunOnDisk, WriterCase>
{
protected:
    void SetUp() override
    {
        if (GetParam().otherDisk) {
            SKIP_UNLESS_MOUNTED(disk);
        }
        choose(GetParam().move, false);
        use(source, GetParam().otherDisk ? disk.path() : destination);
    }

    TmpfsMount disk {temp.path() + "/mnt", "4m"};
};

// Moved while written, the file lost what was written after its copy; copied, it was a snapshot. The writer
// keeps it open between its records, as a logger does.
TEST_P(FileInUse, IsLeftAloneUntilItsWriterIsDone)
{
    const std::string target = (GetParam().otherDisk ? disk.path() : destination) + "/log.txt";
    const int writer = ::open((source + "/log.txt").c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    ASSERT_EQ(::write(writer, "record 1\n", 9), 9);

    DoAction(form);
    EXPECT_THAT(window.lines(),
        ElementsAre(std::string(stamp)
            + "t35: Another program has the file open for writing; it is left for a later run - log.txt"));
    EXPECT_FALSE(exists(target));
    ASSERT_EQ(::write(writer, "record 2\n", 9), 9);
    ::close(writer);

    DoAction(form);

    EXPECT_EQ(window.lines().back(), std::string(stamp) + (GetParam().move ? "t26: log.txt" : "t25: log.txt"));
    EXPECT_EQ(readFile(target), "record 1\nrecord 2\n");
    EXPECT_EQ(exists(source + "/log.txt"), !GetParam().move);
}

INSTANTIATE_TEST_SUITE_P(Writers,
    FileInUse,
    ::testing::Values(WriterCase {"Copy", false, false},
        WriterCase {"MoveWithinTheFileSystem", true, false},
        WriterCase {"MoveToAnotherFileSystem", true, true}),
    rowName);

} // namespace

} // namespace carrovex::testing
