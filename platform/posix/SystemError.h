#pragma once

#include <string>

namespace carrovex::posix
{

// The system's own description of an errno value ("No space left on device").
std::string systemErrorText(int error);

// The same for the errno of the call that has just failed.
std::string lastErrorText();

} // namespace carrovex::posix
