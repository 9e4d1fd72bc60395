#pragma once

#include "platform/ProgramFolders.h"

#include <string>

namespace carrovex
{

// Where a program takes its settings and texts from, as its --help and --version say it: the settings
// file, then each language folder in the order they are searched, one a line. separator joins a folder
// and a file name.
std::string foldersInUse(const ProgramFolders& folders, char separator);

} // namespace carrovex
