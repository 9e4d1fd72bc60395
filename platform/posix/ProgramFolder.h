#pragma once

#include <string>

namespace carrovex::posix
{

// The folder that holds the running program's file, links resolved; from the name it was started by
// where the system does not tell.
std::string programFolder(const char* startedAs);

} // namespace carrovex::posix
