#pragma once

#include "platform/NumberFormat.h"

namespace carrovex::testing
{

class FixedNumberFormat final : public NumberFormat
{
public:
    std::string separator = ",";

    std::string decimalSeparator() const override
    {
        return separator;
    }
};

} // namespace carrovex::testing
