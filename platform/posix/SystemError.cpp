#include "platform/posix/SystemError.h"

#include <cerrno>
#include <cstring>

namespace carrovex::posix
{

std::string systemErrorText(int error)
{
    char buffer[256];
    // The GNU strerror_r may return a static text instead of filling the buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

std::string lastErrorText()
{
    return systemErrorText(errno);
}

} // namespace carrovex::posix
