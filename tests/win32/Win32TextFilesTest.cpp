#include "platform/win32/Win32TextFiles.h"

#include "form/LogFile.h"
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
};

// A file written by hand in Notepad's older encoding, with Linux line ends, hidden by its user; a file the
// program makes is not hidden.
TEST_F(SettingsFileOnDisk, ExistingFileKeepsItsLineEndsEncodingAndHiddenAttribute)
{
    ini.settingsFile = temp.path() + "\\Carrovex.ini";
    writeFile(ini.settingsFile, "[Options]\nFrom=C:\\M\xE4rz\n");
    setAttributes(ini.settingsFile, FILE_ATTRIBUTE_HIDDEN);

    ini.WriteIniValue("Options", "To", "D:\\new");

    EXPECT_EQ(readFile(ini.settingsFile), "[Options]\nFrom=C:\\M\xE4rz\nTo=D:\\new\n");
    EXPECT_EQ(ini.ReadIniValue("Options", "From", "", iniValueSize), "C:\\M\xC3\xA4rz");
    EXPECT_NE(attributesOf(ini.settingsFile) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(entriesOf(temp.path()), "Carrovex.ini");
    ini.settingsFile = temp.path() + "\\New.ini";
    ini.WriteIniValue("Options", "From", "C:\\in");
    EXPECT_EQ(attributesOf(ini.settingsFile) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(win32::withWindowsLineEnds("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
}

TEST_F(SettingsFileOnDisk, ReadingTellsMissingFromUnreadableAndAFailedWriteLeavesNothing)
{
    EXPECT_FALSE(files.replaceAll(temp.path() + "\\missing\\Carrovex.ini", "[Options]\n").ok());
    EXPECT_EQ(entriesOf(temp.path()), "");

    struct Case {
        std::string path;
        bool missing;
    };
    writeFile(temp.path() + "\\large.ini", std::string((16 << 20) + 1, 'x'));
    const Case cases[] = {{temp.path() + "\\Carrovex.ini", true},
        {temp.path() + "\\missing\\Carrovex.ini", true},
        {temp.folder("folder"), false},
        {temp.path() + "\\CON", false}, // a device
        {temp.path() + "\\large.ini", false},
        {temp.path() + "\\M\xE4rz.ini", false}}; // not a text name
    for (const Case& c : cases) {
        const Result<std::optional<std::string>> read = files.readAll(c.path);
        EXPECT_EQ(read.ok(), c.missing) << c.path;
        EXPECT_TRUE(!read.ok() || !read.value().has_value()) << c.path;
    }
}

} // namespace

} // namespace carrovex::testing
