#pragma once

#include <chrono>
#include <string>

namespace carrovex
{

class TextFiles;

// How long a file must have rested before it is taken where the system cannot tell whether another program
// still writes it: "SettleSeconds" of the settings file's Options, a whole number of seconds kept within
// 1 and 3600; defaultTime where the key is missing or holds no such number. The programs read it once, when
// they make their file system.
std::chrono::milliseconds settleTime(
    TextFiles& files, const std::string& settingsFile, std::chrono::milliseconds defaultTime);

} // namespace carrovex
