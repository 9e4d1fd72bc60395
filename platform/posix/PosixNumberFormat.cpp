#include "platform/posix/PosixNumberFormat.h"

#include <clocale>

namespace carrovex::posix
{

std::string PosixNumberFormat::decimalSeparator() const
{
    const std::lconv* conventions = std::localeconv();
    return conventions != nullptr && conventions->decimal_point != nullptr ? conventions->decimal_point : ".";
}

} // namespace carrovex::posix
