#include "platform/win32/Win32DriveTable.h"

#include "engine/FreeSpaceProbe.h"
#include "platform/win32/WideText.h"
#include "tests/win32/WinDisk.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace carrovex::testing
{

namespace
{

TEST(DrivePart, IsTheLetterInCapitalsOrTheShare)
{
    const std::pair<std::wstring, std::wstring> cases[] = {{L"C:\\data", L"C:"},
        {L"d:\\data\\x", L"D:"},
        {L"e:\\", L"E:"},
        {L"\\\\?\\c:\\data", L"C:"},
        {L"\\\\server\\Share\\dir\\x", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\server\\share", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\?\\UNC\\server\\share\\x", L"\\\\SERVER\\SHARE\\"},
        {L"\\\\server", L""},
        {L"\\\\server\\\\x", L""},
        {L"\\\\.\\COM1", L""},
        {L"\\\\?\\Volume{0}\\x", L""}};
    for (const auto& [path, drive] : cases) {
        EXPECT_EQ(win32::drivePartOf(path), drive) << win32::narrow(path);
    }
}

class Drives : public ::testing::Test
{
protected:
    TempFolder temp;
    std::string letter = temp.path().substr(0, 2);
    win32::Win32DriveTable drives;
};

TEST_F(Drives, PathIsNamedByItsDriveHoweverItIsSpelt)
{
    const std::string folder = temp.folder("data");
    const std::string small = std::string(1, static_cast<char>(letter[0] - 'A' + 'a')) + folder.substr(1);
    wchar_t current[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const std::pair<std::string, std::string> cases[] = {{folder, letter},
        {small, letter},
        {folder + "\\missing\\file.txt", letter},
        {folder + "\\..\\data", letter},
        {"some\\folder", std::string(1, static_cast<char>(current[0])) + ":"}, // on the current drive
        {"", ""},
        {"\\\\nas\\archive\\2024", "\\\\NAS\\ARCHIVE\\"}};
    for (const auto& [path, drive] : cases) {
        const Result<std::string> named = drives.driveName(path);
        ASSERT_TRUE(named.ok()) << path << ": " << named.error();
        EXPECT_EQ(named.value(), drive) << path;
    }
}

// The run compares the disk it finds with the one it remembered: however the folder is spelt, one volume
// gives one word, which the settings file keeps before the mount point, so it holds no blank.
TEST_F(Drives, DiskOfAFolderIsOneWordAndTheRootOfItsVolume)
{
    const std::string folder = temp.folder("data");
    const Result<DiskIdentity> disk = drives.diskIdentity(folder);
    const Result<DiskIdentity> again = drives.diskIdentity(folder + "\\..\\data");
    ASSERT_TRUE(disk.ok()) << disk.error();
    ASSERT_TRUE(again.ok()) << again.error();
    EXPECT_EQ(disk.value().fileSystem, again.value().fileSystem);
    EXPECT_EQ(disk.value().mountPoint, letter + "\\");
    EXPECT_EQ(disk.value().fileSystem.find(' '), std::string::npos) << disk.value().fileSystem;
    EXPECT_FALSE(drives.diskIdentity(folder + "\\missing").ok());
}

TEST_F(Drives, FreeSpaceIsKnownOnlyForADrive)
{
    std::string unused; // a letter that names no drive of this machine
    for (int candidate = 'Y'; candidate >= 'Q'; --candidate) {
        if ((::GetLogicalDrives() & (1u << (candidate - 'A'))) == 0) {
            unused = std::string(1, static_cast<char>(candidate)) + ":";
        }
    }
    ASSERT_NE(unused, "");
    EXPECT_EQ(drives.freeSpace(letter).state, DriveSpace::State::Known);
    EXPECT_GT(drives.freeSpace(letter).bytes, 0u);
    const std::string noDrives[] = {"", ":", "\\:", unused, "\\\\NO-SUCH-SERVER\\SHARE\\", temp.path(), "\xFF:"};
    for (const std::string& noDrive : noDrives) {
        EXPECT_EQ(drives.freeSpace(noDrive).state, DriveSpace::State::NoDrive) << noDrive;
    }
    // The logic's probe: -1 for a missing letter, bytes for a present one however it is given.
    EXPECT_EQ(GetDriveFreeSpace(unused, drives), -1);
    EXPECT_GT(GetDriveFreeSpace(std::string(1, static_cast<char>(letter[0] - 'A' + 'a')) + ":", drives), 0);
    EXPECT_GT(GetDriveFreeSpace(temp.path(), drives), 0);
}

// A volume mounted in a folder is named by that volume, with its own free space.
TEST_F(Drives, VolumeMountedInAFolderIsNamedByItsVolume)
{
    UnixTmpfs disk("4m");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root and Wine's drive Z: for the Linux root";
    }
    writeFile(disk.path() + "\\file", "x");
    const Result<std::string> drive = drives.driveName(disk.path() + "\\file");
    ASSERT_TRUE(drive.ok()) << drive.error();
    EXPECT_EQ(drive.value().substr(0, 4), "\\\\?\\") << drive.value();
    EXPECT_EQ(normalisedDrive(drive.value()), drive.value()); // the logic keeps the whole name
    const DriveSpace space = drives.freeSpace(drive.value());
    EXPECT_EQ(space.state, DriveSpace::State::Known);
    EXPECT_GT(space.bytes, 3900u << 10);
    EXPECT_LE(space.bytes, 4u << 20);
    EXPECT_EQ(drives.driveName("Z:\\").value(), "Z:");
}

} // namespace

} // namespace carrovex::testing
