#pragma once

#include "platform/NumberFormat.h"

namespace carrovex::posix
{

// The decimal sign of the process's locale (LC_NUMERIC), as the program's main sets it.
class PosixNumberFormat final : public NumberFormat
{
public:
    std::string decimalSeparator() const override;
};

} // namespace carrovex::posix
