#pragma once

#include "platform/Clock.h"

namespace carrovex::testing
{

class FixedClock final : public Clock
{
public:
    std::string dateAndTime() const override
    {
        return "06.12.2026 21:30:00";
    }
};

inline constexpr const char* stamp = "06.12.2026 21:30:00 - ";

} // namespace carrovex::testing
