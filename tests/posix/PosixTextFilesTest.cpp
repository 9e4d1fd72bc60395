#include "platform/posix/PosixTextFiles.h"

#include "form/LogFile.h"
#include "store/IniStore.h"
#include "tests/posix/DiskFixtures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::testing
{

namespace
{

class SettingsFileOnDisk : public ::testing::Test
{
protected:
    TempFolder temp;
    posix::PosixTextFiles files;
    IniStore ini {files};
    std::string path = temp.path() + "/Carrovex.ini";
};

TEST_F(SettingsFileOnDisk, WritesCreateTheFileKeepItsPermissionsAndLeaveNoTemporaryFile)
{
    ini.settingsFile = path;
    ini.WriteIniValue("Options", "From", "/in");
    EXPECT_EQ(statOf(path).st_mode & 07777, 0644U);
    ::chmod(path.c_str(), 0600); // the user keeps the settings to himself
    ini.WriteIniValue("Options", "To", "/out");

    EXPECT_EQ(readFile(path), "[Options]\nFrom=/in\nTo=/out\n");
    EXPECT_EQ(statOf(path).st_mode & 07777, 0600U);
    EXPECT_EQ(entriesOf(temp.path()), "Carrovex.ini");
}

// In a folder without write access the settings stay as they were, and the log fails in the system's words.
TEST_F(SettingsFileOnDisk, FolderWithoutWriteAccessKeepsTheOldSettingsAndFailsTheLog)
{
    const std::string log = temp.path() + "/Carrovex.log";
    writeFile(path, "[Options]\nFrom=/old\n");
    writeFile(log, "line 39\n");
    ::chmod(temp.path().c_str(), 0555);
    ::chmod(log.c_str(), 0444);
    ini.settingsFile = path;

    EXPECT_TRUE(asUnprivilegedUser([&] {
        ini.WriteIniValue("Options", "From", "/new");
        LogFile readOnly(files, files, log, 64, 2);
        const Status added = readOnly.add("line 40");
        return ini.ReadIniValue("Options", "From", "", iniValueSize) == "/old" && added.error() == "Permission denied"
            && readOnly.lastLines(1).at(0) == "line 39";
    }));
    EXPECT_EQ(readFile(path), "[Options]\nFrom=/old\n");
}

// Started with standard input closed (by a service manager or `<&-`), the program's own files get descriptor 0.
TEST_F(SettingsFileOnDisk, AreSavedWhenStandardInputWasClosed)
{
    ini.settingsFile = path;
    ::chmod(temp.path().c_str(), 0777);

    EXPECT_TRUE(asUnprivilegedUser([&] {
        ::close(STDIN_FILENO);
        ini.WriteIniValue("Options", "From", "/in");
        return true;
    }));
    EXPECT_EQ(readFile(path), "[Options]\nFrom=/in\n");
}

TEST_F(SettingsFileOnDisk, FifoUnderTheNameNeitherBlocksNorIsReplacedByGarbage)
{
    ::mkfifo(path.c_str(), 0644);
    ini.settingsFile = path;
    EXPECT_EQ(ini.ReadIniValue("Options", "From", "default", iniValueSize), "default");

    ini.WriteIniValue("Options", "From", "/new");
    EXPECT_TRUE(S_ISFIFO(statOf(path).st_mode)) << "the settings file took the place of the FIFO";
}

} // namespace

} // namespace carrovex::testing
