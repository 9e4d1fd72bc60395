#include "platform/win32/WideText.h"

#include "platform/win32/ProgramFolder.h"

#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

using win32::narrow;
using win32::widenExactly;

TEST(WideText, EveryNameLeadsBackToItself)
{
    const std::pair<std::wstring, std::string> names[] = {{L"with blank.txt", "with blank.txt"},
        {L"M\u00e4rz \u20ac.txt", "M\xC3\xA4rz \xE2\x82\xAC.txt"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"}, // a pair of units
        {std::wstring(1, wchar_t(0xD800)) + L"x", "\xED\xA0\x80x"}, // lone surrogates name files too
        {L"x" + std::wstring(1, wchar_t(0xDFFF)), "x\xED\xBF\xBF"},
        {L"", ""}};
    for (const auto& [wide, utf8] : names) {
        EXPECT_EQ(narrow(wide), utf8);
        EXPECT_EQ(widenExactly(utf8), wide) << utf8;
    }
}

TEST(WideText, BytesThatAreNoTextNameNoFileButAreShownReplaced)
{
    for (const std::string bytes :
        {"M\xE4rz", "ab\xE2\x82", "\xC0\xAF", "\xF4\x90\x80\x80", "\xED\xA0\xBD\xED\xB8\x80"}) {
        EXPECT_EQ(widenExactly(bytes), std::nullopt) << bytes;
        EXPECT_NE(win32::widen(bytes).find(L'\uFFFD'), std::wstring::npos) << bytes;
    }
}

TEST(WideText, ProgramArgumentsAreWhatFollowsTheProgramsName)
{
    const std::pair<std::wstring, std::string> lines[] = {{L"carrovex.exe /s", "/s"},
        {L"\"C:\\Program Files\\Carrovex\\carrovex.exe\" /s", "/s"},
        {L"\"carrovex.exe\"/s", "/s"},
        {L"carrovex.exe", ""},
        {L"carrovex.exe \t /s ", "/s "},
        {L"carrovex.exe /s /x", "/s /x"},
        {L"\"carrovex.exe /s", ""}}; // an unclosed quote
    for (const auto& [line, arguments] : lines) {
        EXPECT_EQ(win32::argumentsAfterProgramName(line), arguments) << narrow(line);
    }
}

} // namespace

} // namespace carrovex::testing
