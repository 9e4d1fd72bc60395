#include "platform/win32/Win32TextFiles.h"

#include "store/IniStore.h"
#include "tests/win32/WinDisk.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace carrovex::testing
{

namespace
{

class SettingsFileOnDisk : public ::testing::Test
{
protected:
    TempFolder temp;
    win32::Win32TextFiles files;
    IniStore ini {files};
    std::string path = temp.path() + "\\Carrovex.ini";
};

TEST_F(SettingsFileOnDisk, CreatedFileHasWindowsLineEndsAndNoTemporaryFileStays)
{
    ini.settingsFile = path;
    ini.WriteIniValue("Options", "From", "C:\\in");
    ini.WriteIniValue("Options", "To", "D:\\out");

    EXPECT_EQ(readFile(path), "[Options]\r\nFrom=C:\\in\r\nTo=D:\\out\r\n");
    EXPECT_EQ(entriesOf(temp.path()), "Carrovex.ini");
    EXPECT_EQ(attributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(SettingsFileOnDisk, ExistingFileKeepsItsLineEndsAndItsHiddenAttribute)
{
    writeFile(path, "[Options]\nFrom=C:\\old\n");
    setAttributes(path, FILE_ATTRIBUTE_HIDDEN);
    ini.settingsFile = path;

    ini.WriteIniValue("Options", "To", "D:\\new");

    EXPECT_EQ(readFile(path), "[Options]\nFrom=C:\\old\nTo=D:\\new\n");
    EXPECT_NE(attributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(entriesOf(temp.path()), "Carrovex.ini");
}

TEST_F(SettingsFileOnDisk, FolderWithUnicodeNameIsReachedByItsWideName)
{
    const std::string folder = temp.folder("M\xC3\xA4rz \xE2\x82\xAC");
    ini.settingsFile = folder + "\\Carrovex.ini";
    ini.WriteIniValue("Options", "Language", "English");

    EXPECT_EQ(ini.ReadIniValue("Options", "Language", "", iniValueSize), "English");
    EXPECT_EQ(entriesOf(folder), "Carrovex.ini");
}

TEST_F(SettingsFileOnDisk, MissingFolderFailsAndLeavesNothing)
{
    const Status written = files.replaceAll(temp.path() + "\\missing\\Carrovex.ini", "[Options]\n");
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.error(), "");
    EXPECT_EQ(entriesOf(temp.path()), "");
}

TEST_F(SettingsFileOnDisk, ReadingTellsMissingFromUnreadable)
{
    struct Case {
        const char* name;
        std::string path;
        bool missing;
    };
    const std::string folder = temp.folder("folder");
    writeFile(temp.path() + "\\large.ini", std::string((16 << 20) + 1, 'x'));
    const Case cases[] = {{"no file", path, true},
        {"no folder", temp.path() + "\\missing\\Carrovex.ini", true},
        {"a folder", folder, false},
        {"a device", temp.path() + "\\CON", false},
        {"far too large", temp.path() + "\\large.ini", false},
        {"not a text name", temp.path() + "\\M\xE4rz.ini", false}};
    for (const Case& c : cases) {
        const Result<std::optional<std::string>> read = files.readAll(c.path);
        if (c.missing) {
            ASSERT_TRUE(read.ok()) << c.name << ": " << read.error();
            EXPECT_FALSE(read.value().has_value()) << c.name;
        } else {
            EXPECT_FALSE(read.ok()) << c.name;
        }
    }
}

TEST_F(SettingsFileOnDisk, FullDiskKeepsTheOldSettings)
{
    UnixTmpfs disk("64k");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root and Wine's drive Z: for the Linux root";
    }
    ini.settingsFile = disk.path() + "\\Carrovex.ini";
    ini.WriteIniValue("Options", "From", "C:\\old");
    writeFile(disk.path() + "\\filler", std::string(64 << 10, 'f')); // stops where the disk is full

    ini.WriteIniValue("Options", "To", "D:\\new");

    EXPECT_EQ(readFile(ini.settingsFile), "[Options]\r\nFrom=C:\\old\r\n");
    EXPECT_EQ(entriesOf(disk.path()), "Carrovex.ini filler");
}

TEST(WindowsLineEnds, AreAddedOnlyWhereMissing)
{
    EXPECT_EQ(win32::withWindowsLineEnds("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(win32::withWindowsLineEnds("\n"), "\r\n");
    EXPECT_EQ(win32::withWindowsLineEnds("no end"), "no end");
}

} // namespace

} // namespace carrovex::testing
