#pragma once

#include <string>
#include <string_view>

namespace carrovex::win32
{

// The folder that holds the running program's file; a drive's root keeps its backslash ("C:\").
std::string programFolder();

// What follows the program's name in a command line, as given ("/s"): the name ends at the closing
// quotation mark when it begins with one, else at the first blank or tab; the blanks after it are skipped.
std::string argumentsAfterProgramName(std::wstring_view commandLine);

} // namespace carrovex::win32
