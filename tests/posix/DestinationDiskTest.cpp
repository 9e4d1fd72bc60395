// A destination on a disk of its own, as a USB disk or a share mounted at a folder: the disk goes away
// between runs and during one, and comes back. Needs root and loop devices; skipped otherwise.
#include "form/LaterTexts.h"
#include "store/BuiltInEnglish.h"
#include "tests/TableRows.h"
#include "tests/posix/RunOnDisk.h"

#include <algorithm>
#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace carrovex::testing
{

namespace
{

// An ext4 image on a loop device of its own, made in the folder, which stays attached while the disk is
// unmounted, as a USB disk keeps its device while it is plugged in.
class LoopDisk : public ToolMount
{
public:
    explicit LoopDisk(const std::string& folder)
        : ToolMount(folder,
            "losetup",
            "truncate -s 8M '" + folder + "/disk.img' && mkfs.ext4 -q '" + folder + "/disk.img' && losetup -f --show '"
                + folder + "/disk.img' > '" + folder + "/device'",
            "losetup -d \"$(cat '" + folder + "/device')\"")
    {
    }

    bool mountAt(const std::string& where) const
    {
        return shell("mount \"$(cat '" + path() + "/device')\" '" + where + "'");
    }
    // Another disk on the same device, as the next USB disk plugged in after this one gets its name. Made on
    // the attached device: detaching it would let a test running beside this one take the free device first.
    bool takeAnotherDisk() const
    {
        return shell("mkfs.ext4 -q -F \"$(cat '" + path() + "/device')\"");
    }
};

class DiskAtDestination : public TransferRunOnDisk
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_MOUNTED(first);
        SKIP_UNLESS_MOUNTED(second);
        ini.settingsFile = "/prog/Carrovex.ini";
        textFiles.files[ini.settingsFile] = "[Options]\n";
        use(source, mountPoint);
        choose(true, false);
        ASSERT_TRUE(first.mountAt(mountPoint));
    }

    void TearDown() override
    {
        while (shell("umount '" + mountPoint + "'")) { }
    }

    void unmount(const char* how = "")
    {
        ASSERT_TRUE(shell(std::string("umount ") + how + " '" + mountPoint + "'"));
    }

    // One run, with the files given put into the source first; its log lines.
    std::vector<std::string> run(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            writeFile(source + "/" + name, std::string("data of ") + name);
        }
        const auto before = static_cast<std::ptrdiff_t>(window.lines().size());
        DoAction(form);
        return {window.lines().begin() + before, window.lines().end()};
    }

    std::string refusal() const
    {
        return std::string(stamp)
            + "t35: " + withArguments(builtInEnglish(static_cast<int>(LaterText::NotTheDiskItWas)), {mountPoint});
    }

    std::string mountPoint = temp.folder("usb");
    LoopDisk first {temp.path() + "/first"};
    LoopDisk second {temp.path() + "/second"};
};

// A run onto the bare mount point put the files on the system disk, hidden under the disk once it was back.
TEST_F(DiskAtDestination, UnmountedDiskTakesNothingUntilItIsBackOrAnotherIsAccepted)
{
    EXPECT_THAT(run({"a"}), ElementsAre(std::string(stamp) + "t26: a"));

    unmount();
    EXPECT_THAT(run({"b"}), ElementsAre(refusal()));
    EXPECT_EQ(form.state.runErrors, 1);
    EXPECT_EQ(entriesOf(mountPoint), "");
    EXPECT_EQ(entriesOf(source), "b");

    ASSERT_TRUE(first.mountAt(mountPoint));
    EXPECT_THAT(run({}), ElementsAre(std::string(stamp) + "t26: b"));
    EXPECT_EQ(entriesOf(mountPoint), "a b lost+found");

    // Another disk at the same place is taken only with the switch, and the bare mount point never.
    unmount();
    ASSERT_TRUE(second.mountAt(mountPoint));
    EXPECT_THAT(run({"c"}), ElementsAre(refusal()));
    ini.WriteIniValue("Options", "AnyDestinationDisk", "1");
    EXPECT_THAT(run({}), ElementsAre(std::string(stamp) + "t26: c"));
    unmount();
    EXPECT_THAT(run({"d"}), ElementsAre(refusal()));
    EXPECT_EQ(entriesOf(mountPoint), "");
    EXPECT_EQ(entriesOf(source), "d");
}

// Disks swapped in turn come back under the same device: only what the disk itself says tells them apart.
TEST_F(DiskAtDestination, AnotherDiskOnTheSameDeviceIsRefused)
{
    EXPECT_THAT(run({"a"}), ElementsAre(std::string(stamp) + "t26: a"));
    unmount();
    ASSERT_TRUE(first.takeAnotherDisk());
    ASSERT_TRUE(first.mountAt(mountPoint));

    EXPECT_THAT(run({"b"}), ElementsAre(refusal()));
    EXPECT_EQ(entriesOf(mountPoint), "lost+found");
}

using LazyUnmount = Table<DiskAtDestination, int>;

// The disk is unmounted lazily as the run is about to take the file with this number (from 1), in batches of
// ten: in the middle of a batch, or between two. Copies that went onto the detached disk were reported as
// gone, files that met the bare mount point as not fitting, and later ones were moved onto it.
TEST_P(LazyUnmount, EndsTheRunWithOneLineAndLosesNothing)
{
    constexpr int count = 40;
    posix::BatchLimits limits;
    limits.files = 10;
    posix::PosixFileSystem batchesOfTen(limits);
    MainForm tenForm {window, batchesOfTen, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
    for (int i = 1; i <= count; ++i) {
        writeFile(source + "/f" + std::to_string(i), "data of f" + std::to_string(i));
    }
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == GetParam()) {
            unmount("-l");
        }
    });

    DoAction(tenForm);

    const std::string line = std::string(stamp) + "t35: " + englishText(Problem::DestinationDiskChanged);
    EXPECT_THAT(window.lines(), Contains(line));
    EXPECT_THAT(window.lines(), Not(Contains(HasSubstr("t20"))));
    EXPECT_EQ(tenForm.state.runErrors, 1);
    EXPECT_EQ(entriesOf(mountPoint), "");

    // The detached disk lets go once the run has closed the folder.
    for (int wait = 0; wait < 50 && !first.mountAt(mountPoint); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (int i = 1; i <= count; ++i) {
        const std::string name = "f" + std::to_string(i);
        const bool moved = std::find(window.lines().begin(), window.lines().end(), std::string(stamp) + "t26: " + name)
            != window.lines().end();
        const bool inSource = exists(source + "/" + name);
        EXPECT_TRUE(inSource != moved) << name;
        if (inSource) {
            EXPECT_EQ(readFile(source + "/" + name), "data of " + name);
        } else {
            EXPECT_EQ(readFile(mountPoint + "/" + name), "data of " + name);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(During, LazyUnmount, ::testing::Values(5, 21, 25));

} // namespace

} // namespace carrovex::testing
