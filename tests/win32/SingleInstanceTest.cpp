#include "platform/win32/SingleInstance.h"

#include "tests/win32/WinDisk.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

TEST(Win32SingleInstance, OneProgramPerFolderHoweverItIsSpelledUntilItEnds)
{
    TempFolder temp;
    const std::string folder = temp.folder("Settings");
    {
        win32::SingleInstance first(folder);
        ASSERT_TRUE(first.isFirst());
        std::string upper = folder;
        for (char& c : upper) {
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        for (const std::string& spelling : {folder, upper, folder + "\\..\\Settings\\", folder + "/"}) {
            EXPECT_FALSE(win32::SingleInstance(spelling).isFirst()) << spelling;
        }
        EXPECT_TRUE(win32::SingleInstance(temp.folder("Other")).isFirst());
    }
    EXPECT_TRUE(win32::SingleInstance(folder).isFirst());
}

TEST(Win32SingleInstance, ALaterStartAsksAListeningProgramToComeForward)
{
    TempFolder temp;
    const std::string folder = temp.folder("Settings");
    win32::SingleInstance first(folder);
    const win32::SingleInstance later(folder);

    EXPECT_FALSE(later.askFirstToComeForward()); // a console program takes no requests

    int requests = 0;
    first.listen([&requests] { ++requests; });
    EXPECT_TRUE(later.askFirstToComeForward());
    MSG message {};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    EXPECT_EQ(requests, 1);
}

} // namespace

} // namespace carrovex::testing
