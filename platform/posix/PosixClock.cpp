#include "platform/posix/PosixClock.h"

#include <ctime>

namespace carrovex::posix
{

std::string PosixClock::dateAndTime() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, length);
}

} // namespace carrovex::posix
