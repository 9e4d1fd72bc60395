#pragma once

#include <string>

namespace carrovex
{

// A file name as the log shows it: valid UTF-8 stays as it is; control characters and bytes that are not
// UTF-8 are written as escapes (\n, \t, \r, \xNN), so that a name can never start a second log line.
std::string printableName(const std::string& name);

} // namespace carrovex
