#include "form/PrintableName.h"

#include <gtest/gtest.h>

namespace carrovex
{

namespace
{

TEST(PrintableName, KeepsValidUtf8AndBlanks)
{
    EXPECT_EQ(printableName("Bericht März 2026 – 東京 😀.pdf"), "Bericht März 2026 – 東京 😀.pdf");
}

TEST(PrintableName, EscapesLineBreaksAndControls)
{
    EXPECT_EQ(printableName("a\nb\tc\rd\x01"
                            "e\x7f"),
        "a\\nb\\tc\\rd\\x01e\\x7F");
}

TEST(PrintableName, EscapesBytesThatAreNotUtf8)
{
    EXPECT_EQ(printableName("M\xE4rz"), "M\\xE4rz"); // Latin-1 ä
    EXPECT_EQ(printableName("\xC3"), "\\xC3"); // cut sequence
    EXPECT_EQ(printableName("\xC0\xAF"), "\\xC0\\xAF"); // overlong
    EXPECT_EQ(printableName("\xED\xA0\x80"), "\\xED\\xA0\\x80"); // surrogate
    EXPECT_EQ(printableName("\xF4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80"); // beyond U+10FFFF
}

} // namespace

} // namespace carrovex
