#pragma once

#include "platform/NumberFormat.h"

namespace carrovex::win32
{

// The decimal sign of the user's regional settings.
class Win32NumberFormat final : public NumberFormat
{
public:
    std::string decimalSeparator() const override;
};

} // namespace carrovex::win32
