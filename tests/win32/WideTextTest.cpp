#include "platform/win32/WideText.h"

#include "platform/win32/ProgramFolder.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

using win32::narrow;
using win32::widen;
using win32::widenExactly;

struct RoundTrip {
    const char* name;
    std::wstring wide;
    std::string utf8;
};

void PrintTo(const RoundTrip& row, std::ostream* out)
{
    *out << row.name;
}

class TextRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

TEST_P(TextRoundTrip, LeadsBackToTheSameName)
{
    const RoundTrip& text = GetParam();
    EXPECT_EQ(narrow(text.wide), text.utf8);
    EXPECT_EQ(widenExactly(text.utf8), text.wide);
}

INSTANTIATE_TEST_SUITE_P(Names,
    TextRoundTrip,
    ::testing::Values(RoundTrip {"Ascii", L"with blank.txt", "with blank.txt"},
        RoundTrip {"Umlauts",
            L"M\u00e4rz \u00fcber.txt",
            "M\xC3\xA4rz \xC3\xBC"
            "ber.txt"},
        RoundTrip {"Euro", L"\u20ac", "\xE2\x82\xAC"},
        RoundTrip {"EmojiIsAPairOfUnits", L"\U0001F600", "\xF0\x9F\x98\x80"},
        RoundTrip {"LoneHighSurrogate", std::wstring(1, wchar_t(0xD800)) + L"x", "\xED\xA0\x80x"},
        RoundTrip {"LoneLowSurrogateAtTheEnd", L"x" + std::wstring(1, wchar_t(0xDFFF)), "x\xED\xBF\xBF"},
        RoundTrip {"Empty", L"", ""}),
    [](const auto& row) { return std::string(row.param.name); });

struct Refused {
    const char* name;
    std::string bytes;
};

void PrintTo(const Refused& row, std::ostream* out)
{
    *out << row.name;
}

class NotText : public ::testing::TestWithParam<Refused>
{
};

TEST_P(NotText, NamesNoFileButIsShownReplaced)
{
    EXPECT_EQ(widenExactly(GetParam().bytes), std::nullopt);
    EXPECT_NE(widen(GetParam().bytes).find(L'\uFFFD'), std::wstring::npos);
}

INSTANTIATE_TEST_SUITE_P(Bytes,
    NotText,
    ::testing::Values(Refused {"Latin1Byte", "M\xE4rz"},
        Refused {"CutSequence", "ab\xE2\x82"},
        Refused {"OverlongSlash", "\xC0\xAF"},
        Refused {"BeyondUnicode", "\xF4\x90\x80\x80"},
        Refused {"PairSpeltAsTwoSurrogates", "\xED\xA0\xBD\xED\xB8\x80"}),
    [](const auto& row) { return std::string(row.param.name); });

struct CommandLine {
    const char* name;
    std::wstring line;
    std::string arguments;
};

void PrintTo(const CommandLine& row, std::ostream* out)
{
    *out << row.name;
}

class ProgramArguments : public ::testing::TestWithParam<CommandLine>
{
};

TEST_P(ProgramArguments, AreWhatFollowsTheProgramsName)
{
    EXPECT_EQ(win32::argumentsAfterProgramName(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Lines,
    ProgramArguments,
    ::testing::Values(CommandLine {"Plain", L"carrovex.exe /s", "/s"},
        CommandLine {"QuotedWithBlanks", L"\"C:\\Program Files\\Carrovex\\carrovex.exe\" /s", "/s"},
        CommandLine {"QuotedWithoutBlankBefore", L"\"carrovex.exe\"/s", "/s"},
        CommandLine {"None", L"carrovex.exe", ""},
        CommandLine {"BlanksAndTabsBeforeKeptAfter", L"carrovex.exe \t /s ", "/s "},
        CommandLine {"TwoArguments", L"carrovex.exe /s /x", "/s /x"},
        CommandLine {"UnclosedQuote", L"\"carrovex.exe /s", ""}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

} // namespace carrovex::testing
