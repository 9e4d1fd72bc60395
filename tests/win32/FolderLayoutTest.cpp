#include "platform/win32/FolderLayout.h"

#include "tests/win32/WinDisk.h"

#include <gmock/gmock.h>

using ::testing::EndsWith;

namespace carrovex::testing
{

namespace
{

struct LayoutCase {
    const char* name;
    bool langFolder;
    bool settingsFile;
    bool writable; // Program Files is not
    std::optional<std::string> given;
    bool settingsBesideTheProgram;
};

TEST(Win32FolderLayout, SettingsLieBesideAWritableProgramWithItsLayoutElsePerUser)
{
    const LayoutCase cases[] = {{"unpacked ZIP", true, false, true, std::nullopt, true},
        {"settings file alone", false, true, true, std::nullopt, true},
        {"Program Files", true, false, false, std::nullopt, false},
        {"no layout", false, false, true, std::nullopt, false},
        {"given folder", true, false, true, "D:\\pairs\\archive", false}};
    for (const LayoutCase& c : cases) {
        TempFolder temp;
        const std::string program = temp.folder("Carrovex");
        const std::string user = temp.path() + "\\AppData\\Carrovex";
        if (c.langFolder) {
            temp.folder("Carrovex\\lang");
        }
        if (c.settingsFile) {
            writeFile(program + "\\Carrovex.ini", "[Options]\r\n");
        }
        const ProgramFolders folders
            = win32::findProgramFolders(program, c.given, user, [&c](const std::string&) { return c.writable; });
        const std::string settings = c.given ? *c.given : c.settingsBesideTheProgram ? program : user;
        EXPECT_EQ(folders.settings, settings) << c.name;
        // The settings folder's own languages come first, then the program's.
        std::vector<std::string> languages = {settings + "\\lang"};
        if (settings != program) {
            languages.push_back(program + "\\lang");
        }
        EXPECT_EQ(folders.languages, languages) << c.name;
    }
}

TEST(Win32FolderLayout, WritingIsTriedForRealAndTheSettingsFolderIsMadeButNotOverAFile)
{
    TempFolder temp;
    EXPECT_TRUE(win32::mayWriteIn(temp.path()));
    EXPECT_EQ(entriesOf(temp.path()), "");
    EXPECT_FALSE(win32::mayWriteIn(temp.path() + "\\missing"));
    EXPECT_THAT(win32::userSettingsFolder(), EndsWith("\\Carrovex"));

    const std::string user = temp.path() + "\\AppData\\Carrovex";
    ASSERT_TRUE(win32::makeSettingsFolder(user).ok());
    EXPECT_TRUE(win32::makeSettingsFolder(user).ok()); // there already
    EXPECT_EQ(entriesOf(temp.path() + "\\AppData"), "Carrovex");
    writeFile(temp.path() + "\\file", "x");
    EXPECT_FALSE(win32::makeSettingsFolder(temp.path() + "\\file").ok());
    EXPECT_FALSE(win32::makeSettingsFolder(temp.path() + "\\file\\below").ok());
}

} // namespace

} // namespace carrovex::testing
