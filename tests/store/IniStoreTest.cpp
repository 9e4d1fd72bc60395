#include "store/IniStore.h"

#include "tests/fakes/MemoryTextFiles.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

class IniStoreTest : public ::testing::Test
{
protected:
    IniStoreTest()
    {
        ini.settingsFile = "/prog/Carrovex.ini";
    }

    std::string read(const std::string& key, const std::string& defaultValue = "default")
    {
        return ini.ReadIniValue("Options", key, defaultValue, iniValueSize);
    }

    std::string& settingsFile()
    {
        return files.files["/prog/Carrovex.ini"];
    }

    MemoryTextFiles files;
    IniStore ini {files};
};

TEST_F(IniStoreTest, MissingFileGivesDefaultsAndOneWriteCreatesIt)
{
    EXPECT_EQ(read("From"), "default");
    ini.WriteIniValue("Options", "From", "/in");
    EXPECT_EQ(settingsFile(), "[Options]\nFrom=/in\n");
    EXPECT_EQ(read("From"), "/in");
}

TEST_F(IniStoreTest, ValuesAndDefaultsAreCutTo255Characters)
{
    const std::string longValue(300, 'x');
    ini.WriteIniValue("Options", "From", longValue);
    EXPECT_EQ(settingsFile(), "[Options]\nFrom=" + longValue + "\n");
    EXPECT_EQ(read("From"), std::string(255, 'x'));
    EXPECT_EQ(read("To", longValue), std::string(255, 'x'));
    EXPECT_EQ(ini.ReadIniValue("Options", "x", "äöü", 3), "äö");
    EXPECT_EQ(ini.ReadIniValue("Options", "x", "äöü", 0), "");
}

TEST_F(IniStoreTest, Windows1252FilesReadAsSuchAndStaySoWhileValuesFit)
{
    settingsFile() = "[Options]\r\nFrom=C:\\Gr\xFC\x9F"
                     "e\r\nTo=x\r\nSign=\x80\r\n";
    EXPECT_EQ(read("From"), "C:\\GrüŸe");
    EXPECT_EQ(read("Sign"), "€");

    ini.WriteIniValue("Options", "To", "Straße €");
    EXPECT_EQ(settingsFile(),
        "[Options]\r\nFrom=C:\\Gr\xFC\x9F"
        "e\r\nTo=Stra\xDF"
        "e \x80\r\nSign=\x80\r\n");

    ini.WriteIniValue("Options", "To", "東京");
    EXPECT_EQ(settingsFile(), "[Options]\r\nFrom=C:\\GrüŸe\r\nTo=東京\r\nSign=€\r\n");
    EXPECT_EQ(read("From"), "C:\\GrüŸe");
    EXPECT_EQ(read("To"), "東京");
}

TEST_F(IniStoreTest, Utf8FilesKeepTheirByteOrderMark)
{
    settingsFile() = "\xEF\xBB\xBF[Options]\nFrom=Zürich\n";
    EXPECT_EQ(read("From"), "Zürich");
    ini.WriteIniValue("Options", "To", "Αθήνα");
    EXPECT_EQ(settingsFile(), "\xEF\xBB\xBF[Options]\nFrom=Zürich\nTo=Αθήνα\n");
}

// A file that cannot be written is left as it was; one that cannot be read is never rewritten, since
// the rewrite would lose every value in it.
TEST_F(IniStoreTest, FileThatCannotBeReadOrWrittenIsLeftAsItWas)
{
    settingsFile() = "[Options]\nFrom=/old\nTo=/keep\n";
    files.unwritable.insert("/prog/Carrovex.ini");
    ini.WriteIniValue("Options", "From", "/new");
    EXPECT_EQ(read("From"), "/old");

    files.unreadable.insert("/prog/Carrovex.ini");
    files.unwritable.clear();
    ini.WriteIniValue("Options", "From", "/new");
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(read("From"), "default");
}

TEST_F(IniStoreTest, ValuesThatWouldBreakTheFileAreNotWritten)
{
    ini.WriteIniValue("Options", "From", "/in\n[Options]\nSave=1");
    ini.WriteIniValue("Options", "To", "/bad\xFF");
    EXPECT_EQ(files.writes, 0);
}

} // namespace

} // namespace carrovex::testing
