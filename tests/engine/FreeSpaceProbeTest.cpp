#include "engine/FreeSpaceProbe.h"

#include "tests/fakes/FakeDriveTable.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

class FreeSpaceProbe : public ::testing::Test
{
protected:
    FreeSpaceProbe()
    {
        drives.setFree("C:", 10000ULL * 8 * 512);
        drives.setFree("D:", 5ULL << 30);
        drives.setFree("/mnt/Backup", 4096);
        drives.setQueryFails("E:");
    }

    FakeDriveTable drives;
};

TEST_F(FreeSpaceProbe, ReportsTheFreeBytesOfADrive)
{
    EXPECT_EQ(GetDriveFreeSpace("C:", drives), 40'960'000);
    EXPECT_EQ(GetDriveFreeSpace("/mnt/Backup", drives), 4096);
}

TEST_F(FreeSpaceProbe, CapsAt32BitsButTheWideFigureIsWhole)
{
    EXPECT_EQ(GetDriveFreeSpace("D:", drives), 2147483647);
    EXPECT_EQ(driveFreeBytes("D:", drives), 5LL << 30);
}

TEST_F(FreeSpaceProbe, MatchesDriveLettersInAnyCaseAndForm)
{
    for (const char* drive : {"c:", "C:", "c", "C:\\data\\in"}) {
        EXPECT_EQ(GetDriveFreeSpace(drive, drives), 40'960'000) << drive;
        EXPECT_EQ(drives.lastAsked(), "C:") << drive;
    }
}

TEST_F(FreeSpaceProbe, KeepsMountPointsAsTheyAre)
{
    EXPECT_EQ(normalisedDrive("/mnt/Backup"), "/mnt/Backup");
    EXPECT_EQ(GetDriveFreeSpace("/mnt/backup", drives), -1);
}

TEST_F(FreeSpaceProbe, UnusableDrivesGiveMinusOne)
{
    for (const char* drive : {"", "Z:", "\\\\server\\share", "/not/mounted"}) {
        EXPECT_EQ(GetDriveFreeSpace(drive, drives), -1) << drive;
    }
}

TEST_F(FreeSpaceProbe, FailedQueryGivesZero)
{
    EXPECT_EQ(GetDriveFreeSpace("e:", drives), 0);
}

} // namespace

} // namespace carrovex::testing
