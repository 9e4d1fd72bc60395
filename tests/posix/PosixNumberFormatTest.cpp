#include "platform/posix/PosixNumberFormat.h"

#include "tests/posix/DiskFixtures.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

namespace
{

// A German user writes an interval of one and a half minutes as "1,5": the decimal sign is the one of the
// locale the program runs in. The locale is made for the test, since a machine may have none but C.
TEST(PosixNumberFormat, DecimalSignFollowsTheLocale)
{
    TempFolder locales;
    const std::string german = locales.path() + "/de_DE.UTF-8";
    const std::string make = "localedef -c -i de_DE -f UTF-8 '" + german + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) == -1 || !exists(german + "/LC_NUMERIC")) {
        GTEST_SKIP() << "localedef and the de_DE locale source (package locales) are needed";
    }
    ::setenv("LOCPATH", locales.path().c_str(), 1);
    const posix::PosixNumberFormat numbers;

    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    EXPECT_EQ(numbers.decimalSeparator(), ",");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(numbers.decimalSeparator(), ".");
    ::unsetenv("LOCPATH");
}

} // namespace

} // namespace carrovex::testing
