#include "platform/posix/PosixFileSystem.h"
#include "tests/posix/DiskFixtures.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

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

    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    posix::PosixFileSystem files;
};

TEST_F(Fault, RefusedRenameFlagStillNeverReplaces)
{
    writeFile(source + "/a.txt", "a");
    writeFile(source + "/b.txt", "b");
    writeFile(destination + "/b.txt", "theirs");
    inject("rename-flag-refused");

    EXPECT_TRUE(files.moveFile(source + "/a.txt", destination + "/a.txt", false).ok());
    EXPECT_EQ(files.moveFile(source + "/b.txt", destination + "/b.txt", false).error(), "File exists");

    EXPECT_EQ(entriesOf(source), "b.txt");
    EXPECT_EQ(readFile(destination + "/a.txt"), "a");
    EXPECT_EQ(readFile(destination + "/b.txt"), "theirs");
}

TEST_F(Fault, CopiesByReadingWhereTheKernelCannotCopy)
{
    writeFile(source + "/a.txt", std::string(3 << 20, 'x'));
    inject("no-kernel-copy");

    ASSERT_TRUE(files.copyFile(source + "/a.txt", destination + "/a.txt").ok());

    EXPECT_EQ(readFile(destination + "/a.txt"), std::string(3 << 20, 'x'));
}

TEST_F(Fault, IoErrorInTheMiddleLeavesNoPartialFile)
{
    writeFile(source + "/a.txt", std::string(1 << 20, 'x'));
    writeFile(destination + "/a.txt", "old");
    inject("io-error-mid-copy");

    EXPECT_EQ(files.copyFile(source + "/a.txt", destination + "/a.txt").error(), "Input/output error");

    EXPECT_EQ(entriesOf(destination), "a.txt");
    EXPECT_EQ(readFile(destination + "/a.txt"), "old");
}

TEST_F(Fault, FailingCloseIsAFailedCopy)
{
    writeFile(source + "/a.txt", "content");
    inject("close-fails");

    EXPECT_EQ(files.copyFile(source + "/a.txt", destination + "/a.txt").error(), "Input/output error");

    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(Fault, SourceThatGrowsWhileCopiedIsNotCopied)
{
    writeFile(source + "/a.txt", "content");
    inject("source-grows");

    EXPECT_EQ(
        files.copyFile(source + "/a.txt", destination + "/a.txt").error(), "The file changed while it was copied");

    EXPECT_EQ(entriesOf(destination), "");
    EXPECT_EQ(readFile(source + "/a.txt"), "content+");
}

class FaultAcross : public Fault
{
protected:
    void SetUp() override
    {
        if (!disk.mounted()) {
            GTEST_SKIP() << "mounting a tmpfs needs root";
        }
    }

    TmpfsMount disk {temp.path() + "/mnt", "4m"};
};

TEST_F(FaultAcross, SourceThatGrowsWhileMovedStays)
{
    writeFile(source + "/a.txt", "content");
    inject("source-grows");

    EXPECT_FALSE(files.moveFile(source + "/a.txt", disk.path() + "/a.txt", false).ok());
    EXPECT_TRUE(files.finishRun().empty());

    EXPECT_EQ(readFile(source + "/a.txt"), "content+");
    EXPECT_EQ(entriesOf(disk.path()), "");
}

TEST_F(FaultAcross, RefusedRenameFlagKeepsADestinationThatAppeared)
{
    writeFile(source + "/a.txt", "mine");
    writeFile(disk.path() + "/a.txt", "theirs");
    inject("rename-flag-refused");

    EXPECT_EQ(files.moveFile(source + "/a.txt", disk.path() + "/a.txt", false).error(), "File exists");
    EXPECT_TRUE(files.finishRun().empty());

    EXPECT_EQ(readFile(disk.path() + "/a.txt"), "theirs");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt");
    EXPECT_EQ(readFile(source + "/a.txt"), "mine");
}

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
