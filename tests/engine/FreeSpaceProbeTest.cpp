#include "engine/FreeSpaceProbe.h"

#include "tests/fakes/FakeDriveTable.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

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

} // namespace

} // namespace carrovex::testing
