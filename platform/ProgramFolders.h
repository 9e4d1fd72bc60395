#pragma once

#include <string>
#include <vector>

namespace carrovex
{

// Where the program keeps its settings and finds its language files. The platform decides this once at
// start-up; the logic only uses the folders.
struct ProgramFolders {
    std::string settings; // holds the settings file
    std::vector<std::string> languages; // the first that holds a language's file wins; the program's own last
    std::string log {}; // holds the window program's log file
};

} // namespace carrovex
