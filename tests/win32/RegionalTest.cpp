#include "platform/win32/ProgramFolder.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32NumberFormat.h"

#include <gmock/gmock.h>
#include <regex>
#include <windows.h>

// The tests whose names hold "German" run with German as the user's locale, the others with English
// (see Win32Tests.cmake).
namespace carrovex::testing
{

namespace
{

// GoogleTest's own regular expressions on Windows know neither classes nor counts.
MATCHER_P(MatchesRegex, pattern, "matches " + std::string(pattern))
{
    return std::regex_match(arg, std::regex(pattern));
}

std::string englishText(DWORD error)
{
    wchar_t text[512] = L"";
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr,
        error,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
        text,
        std::size(text),
        nullptr);
    return win32::narrow(text);
}

TEST(Regional, StampNumbersAndSystemTextsFollowTheUsersFormats)
{
    EXPECT_THAT(win32::Win32Clock().dateAndTime(),
        MatchesRegex("[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} (AM|PM)"));
    EXPECT_EQ(win32::Win32NumberFormat().decimalSeparator(), ".");
    // Every text is one line without its full stop, and an unknown code is shown by its number.
    for (DWORD error = 1; error < 1400; ++error) {
        const std::string text = win32::systemErrorText(error);
        ASSERT_EQ(text.find_first_of("\r\n"), std::string::npos) << error;
        if (!text.empty()) {
            ASSERT_NE(text.back(), '.') << error;
            ASSERT_NE(text.back(), ' ') << error;
        }
    }
    const std::string inUse = win32::systemErrorText(ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(englishText(ERROR_SHARING_VIOLATION).starts_with(inUse + ".")) << inUse;
    EXPECT_EQ(win32::systemErrorText(0x2FFFFFFF), "Error 805306367");
}

TEST(RegionalInGerman, StampNumbersAndSystemTextsFollowTheUsersFormats)
{
    EXPECT_THAT(win32::Win32Clock().dateAndTime(),
        MatchesRegex("[0-9]{1,2}\\.[0-9]{1,2}\\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}"));
    EXPECT_EQ(win32::Win32NumberFormat().decimalSeparator(), ",");
    const std::string text = win32::systemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_NE(text, "");
    EXPECT_FALSE(englishText(ERROR_FILE_NOT_FOUND).starts_with(text)) << text;
}

TEST(WideText, EveryNameLeadsBackToItself)
{
    const std::pair<std::wstring, std::string> names[] = {{L"with blank.txt", "with blank.txt"},
        {L"M\u00e4rz \u20ac.txt", "M\xC3\xA4rz \xE2\x82\xAC.txt"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"}, // a pair of units
        {std::wstring(1, wchar_t(0xD800)) + L"x", "\xED\xA0\x80x"}, // lone surrogates name files too
        {L"x" + std::wstring(1, wchar_t(0xDFFF)), "x\xED\xBF\xBF"},
        {L"", ""}};
    for (const auto& [wide, utf8] : names) {
        EXPECT_EQ(win32::narrow(wide), utf8);
        EXPECT_EQ(win32::widenExactly(utf8), wide) << utf8;
    }
}

TEST(WideText, BytesThatAreNoTextNameNoFileButAreShownReplaced)
{
    for (const std::string bytes :
        {"M\xE4rz", "ab\xE2\x82", "\xC0\xAF", "\xF4\x90\x80\x80", "\xED\xA0\xBD\xED\xB8\x80"}) {
        EXPECT_EQ(win32::widenExactly(bytes), std::nullopt) << bytes;
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
        EXPECT_EQ(win32::argumentsAfterProgramName(line), arguments) << win32::narrow(line);
    }
}

} // namespace

} // namespace carrovex::testing
