#include "form/PrintableName.h"

#include <gtest/gtest.h>
#include <utility>

namespace carrovex
{

namespace
{

// Valid UTF-8 and blanks stay; line breaks, controls and bytes that are not UTF-8 are escaped.
TEST(PrintableName, KeepsValidUtf8AndEscapesTheRest)
{
    const std::pair<const char*, const char*> cases[]
        = {{"Bericht März 2026 – 東京 😀.pdf", "Bericht März 2026 – 東京 😀.pdf"},
            {"a\nb\tc\rd\x01"
             "e\x7f",
                "a\\nb\\tc\\rd\\x01e\\x7F"},
            {"M\xE4rz", "M\\xE4rz"}, // Latin-1 ä
            {"\xC3", "\\xC3"}, // cut sequence
            {"\xC0\xAF", "\\xC0\\xAF"}, // overlong
            {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, // surrogate
            {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}}; // beyond U+10FFFF
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(printableName(name), shown);
    }
}

} // namespace

} // namespace carrovex
