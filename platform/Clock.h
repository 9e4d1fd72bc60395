#pragma once

#include <string>

namespace carrovex
{

class Clock
{
public:
    virtual ~Clock() = default;

    // The current date and time in the user's own formats, with seconds, joined by one blank. Both come
    // from one reading so that a stamp taken at midnight cannot mix two days.
    virtual std::string dateAndTime() const = 0;
};

} // namespace carrovex
