#pragma once

#include "platform/Clock.h"

namespace carrovex::win32
{

// Local date and time in the user's short date and time formats of the regional settings.
class Win32Clock final : public Clock
{
public:
    std::string dateAndTime() const override;
};

} // namespace carrovex::win32
