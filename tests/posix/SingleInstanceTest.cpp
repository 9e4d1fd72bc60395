#include "platform/posix/SingleInstance.h"

#include "tests/posix/DiskFixtures.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>

namespace carrovex::testing
{

namespace
{

bool readable(int fd)
{
    pollfd watched {fd, POLLIN, 0};
    return ::poll(&watched, 1, 1000) == 1;
}

TEST(SingleInstance, OneProgramPerFolderHoweverItIsSpelledUntilItEnds)
{
    TempFolder temp;
    const std::string folder = temp.folder("settings");
    std::filesystem::create_directory_symlink(folder, temp.path() + "/link");
    {
        const posix::SingleInstance first(folder);
        ASSERT_TRUE(first.isFirst());
        for (const std::string& spelling : {folder, temp.path() + "/link", folder + "/../settings/"}) {
            EXPECT_FALSE(posix::SingleInstance(spelling).isFirst()) << spelling;
        }
        EXPECT_TRUE(posix::SingleInstance(temp.folder("other")).isFirst());
    }
    EXPECT_TRUE(posix::SingleInstance(folder).isFirst());
}

TEST(SingleInstance, ALaterStartAsksAListeningProgramToComeForward)
{
    TempFolder temp;
    const std::string folder = temp.folder("settings");
    posix::SingleInstance first(folder);
    const posix::SingleInstance later(folder);

    EXPECT_FALSE(later.askFirstToComeForward()); // a console program takes no requests

    const int requests = first.listen();
    EXPECT_FALSE(first.takeRequests());
    EXPECT_TRUE(later.askFirstToComeForward());
    ASSERT_TRUE(readable(requests));
    EXPECT_TRUE(first.takeRequests());
    EXPECT_FALSE(first.takeRequests());
}

} // namespace

} // namespace carrovex::testing
