#include "platform/posix/PosixFileSystem.h"
#include "tests/posix/DiskFixtures.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <utility>
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

    EXPECT_TRUE(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Move).ok());
    EXPECT_EQ(transferNow(files, source + "/b.txt", destination + "/b.txt", Transfer::Move).error(), "File exists");

    EXPECT_EQ(entriesOf(source), "b.txt");
    EXPECT_EQ(readFile(destination + "/a.txt"), "a");
    EXPECT_EQ(readFile(destination + "/b.txt"), "theirs");
}

TEST_F(Fault, CopiesByReadingWhereTheKernelCannotCopy)
{
    writeFile(source + "/a.txt", std::string(3 << 20, 'x'));
    inject("no-kernel-copy");

    ASSERT_TRUE(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).ok());

    EXPECT_EQ(readFile(destination + "/a.txt"), std::string(3 << 20, 'x'));
}

TEST_F(Fault, IoErrorInTheMiddleLeavesNoPartialFile)
{
    writeFile(source + "/a.txt", std::string(1 << 20, 'x'));
    writeFile(destination + "/a.txt", "old");
    inject("io-error-mid-copy");

    EXPECT_EQ(
        transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(), "Input/output error");

    EXPECT_EQ(entriesOf(destination), "a.txt");
    EXPECT_EQ(readFile(destination + "/a.txt"), "old");
}

TEST_F(Fault, FailingCloseIsAFailedCopy)
{
    writeFile(source + "/a.txt", "content");
    inject("no-unnamed-files,close-fails");

    EXPECT_EQ(
        transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(), "Input/output error");

    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(Fault, SourceThatGrowsWhileCopiedIsNotCopied)
{
    writeFile(source + "/a.txt", "content");
    inject("source-grows");

    EXPECT_EQ(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(),
        "The file changed while it was copied");

    EXPECT_EQ(entriesOf(destination), "");
    EXPECT_EQ(readFile(source + "/a.txt"), "content+");
}

// File systems without unnamed files, the no-replace rename or hard links (FAT and exFAT through FUSE) still
// get every file, and still never lose one that is there.
struct FallbackCase {
    const char* name;
    const char* faults;
    Transfer how;
};

class FaultFallback : public Fault, public ::testing::WithParamInterface<FallbackCase>
{
};

TEST_P(FaultFallback, PlacesWithoutReplacing)
{
    writeFile(source + "/a.txt", "mine");
    writeFile(source + "/b.txt", "mine too");
    writeFile(destination + "/b.txt", "theirs");
    inject(GetParam().faults);

    EXPECT_TRUE(transferNow(files, source + "/a.txt", destination + "/a.txt", GetParam().how).ok());
    EXPECT_EQ(transferNow(files, source + "/b.txt", destination + "/b.txt", GetParam().how).error(), "File exists");

    const bool moved = GetParam().how == Transfer::Move;
    EXPECT_EQ(entriesOf(source), moved ? "b.txt" : "a.txt b.txt");
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
    EXPECT_EQ(readFile(destination + "/a.txt"), "mine");
    EXPECT_EQ(readFile(destination + "/b.txt"), "theirs");
}

INSTANTIATE_TEST_SUITE_P(Faults,
    FaultFallback,
    ::testing::Values(FallbackCase {"NoRenameFlagMove", "rename-flag-refused", Transfer::Move},
        FallbackCase {"NamedStagingCopy", "no-unnamed-files", Transfer::Copy},
        FallbackCase {"LinkThroughProcCopy", "no-descriptor-links", Transfer::Copy},
        FallbackCase {"RemovableDiskCopy", "no-unnamed-files,rename-flag-refused,no-hard-links", Transfer::Copy},
        FallbackCase {"RemovableDiskMove", "rename-flag-refused,no-hard-links", Transfer::Move},
        FallbackCase {"PermissionsRefusedCopy", "chmod-refused", Transfer::Copy}),
    [](const auto& row) { return std::string(row.param.name); });

// Another program writes the same name while the copy is on its way: its file stays, and the copy says so.
class FaultRace : public Fault, public ::testing::WithParamInterface<std::pair<const char*, const char*>>
{
};

TEST_P(FaultRace, FileAppearingDuringACopyIsNeverReplaced)
{
    writeFile(source + "/a.txt", "mine");
    inject(GetParam().second);

    EXPECT_EQ(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).error(), "File exists");

    EXPECT_EQ(readFile(destination + "/a.txt"), "theirs");
    EXPECT_EQ(entriesOf(destination), "a.txt");
}

INSTANTIATE_TEST_SUITE_P(Staging,
    FaultRace,
    ::testing::Values(std::pair {"UnnamedCopy", "destination-appears"},
        std::pair {"UnnamedCopyLinkedThroughProc", "destination-appears,no-descriptor-links"},
        std::pair {"NamedCopy", "destination-appears,no-unnamed-files"}),
    [](const auto& row) { return std::string(row.param.first); });

// The disk loses data after write() succeeded: only the files it concerns fail, and none of them shows up
// under its name, while the others are complete.
TEST_F(Fault, FailedWriteBackIsAnErrorForTheFilesItConcerns)
{
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        writeFile(source + "/" + name, std::string(100, 'x'));
    }
    writeFile(source + "/lost", std::string(666, 'x'));
    inject("writeback-fails");

    std::vector<std::string> failed;
    for (const char* name : {"a", "b", "lost", "c", "d", "e"}) {
        ASSERT_TRUE(files.startTransfer(source + "/" + name, destination + "/" + name, Transfer::Copy).ok());
    }
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 6U);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i].ok(), i != 2) << i;
    }
    EXPECT_EQ(outcomes[2].error(), "Input/output error");
    EXPECT_EQ(entriesOf(destination), "a b c d e");
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

    EXPECT_FALSE(transferNow(files, source + "/a.txt", disk.path() + "/a.txt", Transfer::Move).ok());

    EXPECT_EQ(readFile(source + "/a.txt"), "content+");
    EXPECT_EQ(entriesOf(disk.path()), "");
}

TEST_F(FaultAcross, RefusedRenameFlagKeepsADestinationThatAppeared)
{
    writeFile(source + "/a.txt", "mine");
    writeFile(disk.path() + "/a.txt", "theirs");
    inject("rename-flag-refused");

    EXPECT_EQ(transferNow(files, source + "/a.txt", disk.path() + "/a.txt", Transfer::Move).error(), "File exists");

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
