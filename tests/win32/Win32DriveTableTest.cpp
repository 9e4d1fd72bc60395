#include "platform/win32/Win32DriveTable.h"

#include "engine/FreeSpaceProbe.h"
#include "tests/win32/WinDisk.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace carrovex::testing
{

namespace
{

struct Spelling {
    const char* name;
    std::wstring path;
    std::wstring drive;
};

void PrintTo(const Spelling& row, std::ostream* out)
{
    *out << row.name;
}

class DrivePart : public ::testing::TestWithParam<Spelling>
{
};

TEST_P(DrivePart, IsTheLetterInCapitalsOrTheShare)
{
    EXPECT_EQ(win32::drivePartOf(GetParam().path), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(Paths,
    DrivePart,
    ::testing::Values(Spelling {"Letter", L"C:\\data", L"C:"},
        Spelling {"SmallLetter", L"d:\\data\\x", L"D:"},
        Spelling {"RootOnly", L"e:\\", L"E:"},
        Spelling {"LongForm", L"\\\\?\\c:\\data", L"C:"},
        Spelling {"Share", L"\\\\server\\Share\\dir\\x", L"\\\\SERVER\\SHARE\\"},
        Spelling {"ShareRoot", L"\\\\server\\share", L"\\\\SERVER\\SHARE\\"},
        Spelling {"LongShare", L"\\\\?\\UNC\\server\\share\\x", L"\\\\SERVER\\SHARE\\"},
        Spelling {"ServerWithoutShare", L"\\\\server", L""},
        Spelling {"ServerAndEmptyShare", L"\\\\server\\\\x", L""},
        Spelling {"Device", L"\\\\.\\COM1", L""},
        Spelling {"Volume", L"\\\\?\\Volume{0}\\x", L""}),
    [](const auto& row) { return std::string(row.param.name); });

class Drives : public ::testing::Test
{
protected:
    // A letter that names no drive of this machine.
    static std::string unusedLetter()
    {
        const DWORD used = ::GetLogicalDrives();
        for (int letter = 'Q'; letter <= 'Y'; ++letter) {
            if ((used & (1u << (letter - 'A'))) == 0) {
                return std::string(1, static_cast<char>(letter)) + ":";
            }
        }
        return "";
    }

    TempFolder temp;
    win32::Win32DriveTable drives;
};

TEST_F(Drives, FolderOnADriveIsNamedByItsLetterHoweverItIsSpelt)
{
    const std::string folder = temp.folder("data");
    const std::string letter = folder.substr(0, 2);
    const std::string small = std::string(1, static_cast<char>(letter[0] - 'A' + 'a')) + folder.substr(1);
    const std::string spellings[] = {folder, small, folder + "\\missing\\file.txt", folder + "\\..\\data"};
    for (const std::string& spelling : spellings) {
        const Result<std::string> drive = drives.driveName(spelling);
        ASSERT_TRUE(drive.ok()) << spelling;
        EXPECT_EQ(drive.value(), letter) << spelling;
    }
}

TEST_F(Drives, RelativePathIsOnTheCurrentDrive)
{
    wchar_t current[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const Result<std::string> drive = drives.driveName("some\\folder");
    ASSERT_TRUE(drive.ok());
    EXPECT_EQ(drive.value(), std::string(1, static_cast<char>(current[0])) + ":");
}

TEST_F(Drives, EmptyPathHasNoDriveAndANetworkPathItsShare)
{
    EXPECT_EQ(drives.driveName("").value(), "");
    EXPECT_EQ(drives.driveName("\\\\nas\\archive\\2024").value(), "\\\\NAS\\ARCHIVE\\");
}

TEST_F(Drives, FreeSpaceOfEveryKindOfDriveText)
{
    const std::string letter = temp.path().substr(0, 2);
    const std::string unused = unusedLetter();
    ASSERT_NE(unused, "");
    EXPECT_EQ(drives.freeSpace(letter).state, DriveSpace::State::Known);
    EXPECT_GT(drives.freeSpace(letter).bytes, 0u);
    struct Case {
        const char* drive;
        std::string text;
    };
    const Case noDrives[] = {{"empty", ""},
        {"colon", ":"},
        {"normalised share", "\\:"},
        {"no such letter", unused},
        {"no such server", "\\\\NO-SUCH-SERVER\\SHARE\\"},
        {"a folder, not a drive", temp.path()},
        {"not text", "\xFF:"}};
    for (const Case& c : noDrives) {
        EXPECT_EQ(drives.freeSpace(c.text).state, DriveSpace::State::NoDrive) << c.drive;
    }
}

TEST_F(Drives, ProbeOfTheLogicGivesMinusOneForAMissingLetterAndBytesForAPresentOne)
{
    EXPECT_EQ(GetDriveFreeSpace(unusedLetter(), drives), -1);
    const std::string small = std::string(1, static_cast<char>(temp.path()[0] - 'A' + 'a')) + ":";
    EXPECT_GT(GetDriveFreeSpace(small, drives), 0);
    EXPECT_GT(GetDriveFreeSpace(temp.path(), drives), 0); // the whole path is cut to its letter
}

TEST_F(Drives, FolderWhereAVolumeIsMountedIsNamedByThatVolume)
{
    UnixTmpfs disk("1m");
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
    EXPECT_GT(space.bytes, 900u << 10);
    EXPECT_LE(space.bytes, 1u << 20);
    EXPECT_EQ(drives.driveName("Z:\\").value(), "Z:");
}

} // namespace

} // namespace carrovex::testing
