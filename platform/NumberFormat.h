#pragma once

#include <string>

namespace carrovex
{

class NumberFormat
{
public:
    virtual ~NumberFormat() = default;

    // The user's decimal sign ("," in German, "." in English).
    virtual std::string decimalSeparator() const = 0;
};

} // namespace carrovex
