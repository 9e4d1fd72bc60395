#include "store/IniText.h"

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

TEST(IniText, FindsNamesWithoutRegardToCaseAndTrimsValues)
{
    EXPECT_EQ(findIniValue(sample, "Options", "ShowLog"), "1");
    EXPECT_EQ(findIniValue(sample, "OPTIONS", "to"), "/data/in = out");
    EXPECT_EQ(findIniValue(sample, "other", "FROM"), "elsewhere");
}

TEST(IniText, EmptyValueIsAValueAndTheFirstSectionCounts)
{
    EXPECT_EQ(findIniValue(sample, "Options", "From"), "");
}

TEST(IniText, MissingSectionsKeysAndOddLinesGiveNothing)
{
    EXPECT_EQ(findIniValue(sample, "Options", "Interval"), std::nullopt);
    EXPECT_EQ(findIniValue(sample, "Missing", "From"), std::nullopt);
    EXPECT_EQ(findIniValue(sample, "Options", "junk line"), std::nullopt);
    EXPECT_EQ(findIniValue("From=x\n[Options]\n", "Options", "From"), std::nullopt);
    EXPECT_EQ(findIniValue("[Options]\n;From=x\n", "Options", "From"), std::nullopt);
}

TEST(IniText, CreatesTheSectionInAnEmptyText)
{
    EXPECT_EQ(withIniValue("", "Options", "From", "/in"), "[Options]\nFrom=/in\n");
}

TEST(IniText, ReplacesAKeyWhereItStandsAndLeavesEveryOtherLine)
{
    const std::string updated = withIniValue(sample, "Options", "FROM", "/new");
    std::string expected = sample;
    expected.replace(expected.find("From=\n"), 6, "FROM=/new\n");
    EXPECT_EQ(updated, expected);
}

TEST(IniText, AddsAMissingKeyAfterTheLastEntryOfItsSection)
{
    const std::string updated = withIniValue("[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3");
    EXPECT_EQ(updated, "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
}

TEST(IniText, AddsAMissingSectionAtTheEndAndKeepsWindowsLineEndings)
{
    EXPECT_EQ(withIniValue("[A]\r\nx=1\r\n", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
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

} // namespace

} // namespace carrovex
