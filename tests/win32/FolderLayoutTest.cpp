#include "platform/win32/FolderLayout.h"

#include "tests/win32/WinDisk.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::EndsWith;

namespace carrovex::testing
{

namespace
{

class Win32FolderLayout : public ::testing::Test
{
protected:
    ProgramFolders find(const std::optional<std::string>& given, bool writable)
    {
        return win32::findProgramFolders(program, given, user, [writable](const std::string&) { return writable; });
    }

    TempFolder temp;
    std::string program = temp.folder("Carrovex");
    std::string user = temp.path() + "\\AppData\\Carrovex";
};

TEST_F(Win32FolderLayout, UnpackedZipKeepsItsSettingsBesideTheProgram)
{
    temp.folder("Carrovex\\lang");
    const ProgramFolders folders = find(std::nullopt, true);
    EXPECT_EQ(folders.settings, program);
    EXPECT_THAT(folders.languages, ElementsAre(program + "\\lang"));
}

TEST_F(Win32FolderLayout, SettingsFileAloneMakesTheLayoutPortableToo)
{
    writeFile(program + "\\Carrovex.ini", "[Options]\r\n");
    EXPECT_EQ(find(std::nullopt, true).settings, program);
}

TEST_F(Win32FolderLayout, ProgramFolderThatMayNotBeWrittenKeepsTheSettingsPerUser)
{
    temp.folder("Carrovex\\lang");
    const ProgramFolders folders = find(std::nullopt, false); // Program Files
    EXPECT_EQ(folders.settings, user);
    EXPECT_THAT(folders.languages, ElementsAre(user + "\\lang", program + "\\lang"));
}

TEST_F(Win32FolderLayout, FolderWithoutTheLayoutKeepsTheSettingsPerUser)
{
    EXPECT_EQ(find(std::nullopt, true).settings, user);
}

TEST_F(Win32FolderLayout, GivenFolderWinsAndItsLanguagesComeFirst)
{
    temp.folder("Carrovex\\lang");
    const ProgramFolders folders = find(std::string("D:\\pairs\\archive"), true);
    EXPECT_EQ(folders.settings, "D:\\pairs\\archive");
    EXPECT_THAT(folders.languages, ElementsAre("D:\\pairs\\archive\\lang", program + "\\lang"));
}

TEST_F(Win32FolderLayout, WritingIsTriedForRealAndLeavesNothing)
{
    EXPECT_TRUE(win32::mayWriteIn(program));
    EXPECT_EQ(entriesOf(program), "");
    EXPECT_FALSE(win32::mayWriteIn(program + "\\missing"));
    EXPECT_THAT(win32::userSettingsFolder(), EndsWith("\\Carrovex"));
}

TEST_F(Win32FolderLayout, SettingsFolderIsMadeWithItsParentsButNotOverAFile)
{
    ASSERT_TRUE(win32::makeSettingsFolder(user).ok());
    EXPECT_TRUE(win32::makeSettingsFolder(user).ok()); // there already
    EXPECT_EQ(entriesOf(temp.path() + "\\AppData"), "Carrovex");
    writeFile(temp.path() + "\\file", "x");
    EXPECT_FALSE(win32::makeSettingsFolder(temp.path() + "\\file").ok());
    EXPECT_FALSE(win32::makeSettingsFolder(temp.path() + "\\file\\below").ok());
}

} // namespace

} // namespace carrovex::testing
