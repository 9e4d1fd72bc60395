#include "store/IniText.h"

#include "store/Utf8.h"

#include <gtest/gtest.h>

namespace carrovex
{

namespace
{

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

} // namespace carrovex
