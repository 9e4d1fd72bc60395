#include "store/IniStore.h"

#include "store/IniText.h"
#include "store/Utf8.h"
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

const std::string sample = "; written by hand\n"
                           "[options]\n"
                           "showlog = 1 \n"
                           "From=\n"
                           "To\t=\t/data/in = out\n"
                           "junk line\n"
                           "\n"
                           "[ Other ]\n"
                           "From=elsewhere\n"
                           "[Options]\n"
                           "From=second section\n";

// Names match without regard to case, values are trimmed, an empty value is a value, and only the first
// section of a name, and the first entry of a key in it, count.
TEST(IniText, FindsTheValueOfAKey)
{
    const struct {
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {{sample, "Options", "ShowLog", "1"},
        {sample, "OPTIONS", "to", "/data/in = out"},
        {sample, "other", "FROM", "elsewhere"},
        {sample, "Options", "From", ""},
        {sample, "Options", "Interval", std::nullopt},
        {sample, "Missing", "From", std::nullopt},
        {sample, "Options", "junk line", std::nullopt},
        {"From=x\n[Options]\n", "Options", "From", std::nullopt},
        {"[Options]\n;From=x\n", "Options", "From", std::nullopt},
        {"[A]\nx=1\n[a]\ny=2\n", "A", "y", std::nullopt},
        {"[A]\ny=1\nY=2\n", "A", "y", "1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(findIniValue(c.text, c.section, c.key), c.value) << c.section << " " << c.key;
    }
}

// A key is replaced where it stands, a missing one follows the last entry of its section, a missing
// section comes at the end, and every other line stays as it was, line endings included.
TEST(IniText, WritesAValueAndLeavesEveryOtherLine)
{
    std::string replaced = sample;
    replaced.replace(replaced.find("From=\n"), 6, "FROM=/new\n");
    const struct {
        std::string text;
        const char* section;
        const char* key;
        const char* value;
        std::string expected;
    } cases[] = {{"", "Options", "From", "/in", "[Options]\nFrom=/in\n"},
        {sample, "Options", "FROM", "/new", replaced},
        {"[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"[A]\n\n[B]\n", "A", "z", "3", "[A]\nz=3\n\n[B]\n"},
        {"x=1\n[A]\n[B]\n", "A", "z", "3", "x=1\n[A]\nz=3\n[B]\n"},
        {"[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"}};
    for (const auto& c : cases) {
        EXPECT_EQ(withIniValue(c.text, c.section, c.key, c.value), c.expected) << c.key;
    }
}

TEST(IniText, EveryWrittenValueReadsBackAsWritten)
{
    std::string text;
    const std::pair<const char*, std::string> values[] = {{"empty", ""},
        {"plain", "plain"},
        {"equals", "a=b=c"},
        {"brackets", "[not a section]"},
        {"semicolon", ";not a comment"},
        {"scripts", "Zürich 東京 Αθήνα"}};
    for (const auto& [key, value] : values) {
        text = withIniValue(text, "Options", key, value);
    }
    for (const auto& [key, value] : values) {
        EXPECT_EQ(findIniValue(text, "Options", key), value) << key;
    }
}

TEST(IniText, LineBreaksCannotBeStored)
{
    EXPECT_FALSE(isStorableIniValue("a\nInterval=1"));
    EXPECT_FALSE(isStorableIniValue("a\rb"));
    EXPECT_TRUE(isStorableIniValue("a\tb"));
}

// Keys, language names and unit words match without regard to case in the scripts the languages use.
TEST(Utf8, FoldsCapitalsOfLatinGreekAndCyrillicLetters)
{
    EXPECT_EQ(foldCase("AZaz@[ÀÞ×ß ĀĶŊŶĹŇŹŽŸ ΑΩ ЀЏАЯ"), "azaz@[àþ×ß āķŋŷĺňźžÿ αω ѐџая");
    EXPECT_EQ(foldCase("āķŋŷĺňźžÿ bdfhjlnprtvxz \u0800"), "āķŋŷĺňźžÿ bdfhjlnprtvxz \u0800");
}

} // namespace

} // namespace carrovex::testing
