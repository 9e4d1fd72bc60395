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

} // namespace

} // namespace carrovex::testing
