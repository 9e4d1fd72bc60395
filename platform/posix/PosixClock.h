#pragma once

#include "platform/Clock.h"

namespace carrovex::posix
{

// Date and time in the formats of the process's locale (LC_TIME), as the program's main sets it.
class PosixClock final : public Clock
{
public:
    std::string dateAndTime() const override;
};

} // namespace carrovex::posix
