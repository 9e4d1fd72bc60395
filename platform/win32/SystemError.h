#pragma once

#include <string>

namespace carrovex::win32
{

// The system's own description of an error code, in the user's language, on one line and without its
// closing full stop ("The process cannot access the file because it is being used by another process"),
// as the log puts " - " and the file's name after it.
std::string systemErrorText(unsigned long error);

// The same for the error of the call that has just failed.
std::string lastErrorText();

} // namespace carrovex::win32
