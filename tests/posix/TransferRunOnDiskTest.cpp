#include "tests/posix/RunOnDisk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace carrovex::testing
{

namespace
{

TEST_F(TransferRunOnDisk, OddNamesAreTransferredByteForByteAndLoggedReadably)
{
    choose(true, false);
    for (const char* name : {"with blank.txt", "new\nline", "tab\there", "M\xE4rz"}) {
        writeFile(source + "/" + name, name);
    }

    DoAction(form);

    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(std::string(stamp) + "t26: with blank.txt",
            std::string(stamp) + "t26: new\\nline",
            std::string(stamp) + "t26: tab\\there",
            std::string(stamp) + "t26: M\\xE4rz"));
    EXPECT_EQ(readFile(destination + "/M\xE4rz"), "M\xE4rz");
    EXPECT_EQ(readFile(destination + "/new\nline"), "new\nline");
    EXPECT_EQ(entriesOf(source), "");
}

TEST_F(TransferRunOnDisk, UnreadableSourceGetsTheSystemsErrorAndTheRunGoesOn)
{
    writeFile(source + "/a-secret", "x");
    writeFile(source + "/b-open", "x");
    settleFile(source + "/b-open"); // another user's file: no lease can tell whether it is still written
    ::chmod((source + "/a-secret").c_str(), 0);
    for (const std::string& folder : {temp.path(), source, destination}) {
        ::chmod(folder.c_str(), 0777);
    }

    EXPECT_TRUE(asUnprivilegedUser([&] {
        DoAction(form);
        const auto& lines = window.lines();
        return lines.size() == 2
            && std::count(lines.begin(), lines.end(), std::string(stamp) + "t35: Permission denied - a-secret") == 1
            && std::count(lines.begin(), lines.end(), std::string(stamp) + "t25: b-open") == 1;
    }));
    EXPECT_EQ(entriesOf(destination), "b-open");
}

TEST_F(TransferRunOnDisk, DropFolderThatMayBeWrittenButNotReadTakesCopies)
{
    writeFile(source + "/a.txt", "a");
    settleFile(source + "/a.txt");
    for (const std::string& folder : {temp.path(), source}) {
        ::chmod(folder.c_str(), 0755);
    }
    ::chmod(destination.c_str(), 0733);

    EXPECT_TRUE(asUnprivilegedUser([&] {
        DoAction(form);
        return window.lines().size() == 1 && window.lines()[0] == std::string(stamp) + "t25: a.txt";
    }));
    EXPECT_EQ(readFile(destination + "/a.txt"), "a");
}

TEST_F(TransferRunOnDisk, MovesOntoASecondFileSystem)
{
    TmpfsMount disk(temp.path() + "/mnt", "4m");
    SKIP_UNLESS_MOUNTED(disk);
    choose(true, false);
    use(source, disk.path());
    writeFile(source + "/a.txt", "a");
    writeFile(source + "/big1", std::string(3 << 20, '1'));
    writeFile(source + "/big2", std::string(3 << 20, '2')); // whichever comes second no longer fits

    DoAction(form);

    const std::string kept = entriesOf(source);
    ASSERT_TRUE(kept == "big1" || kept == "big2") << kept;
    const std::string moved = kept == "big1" ? "big2" : "big1";
    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(std::string(stamp) + "t26: a.txt",
            std::string(stamp) + "t26: " + moved,
            std::string(stamp) + "t21 - t20: " + kept));
    EXPECT_EQ(entriesOf(disk.path()), "a.txt " + moved);
    EXPECT_EQ(readFile(disk.path() + "/" + moved), std::string(3 << 20, moved.back()));
}

} // namespace

} // namespace carrovex::testing
