#pragma once

#include <string>

namespace carrovex
{

// The text of key tN in the program's English language file, built into the program: it stands in for
// every text that the files of the chosen language lack, so that no caption or log line loses its words.
// Empty for a key that the English file does not have.
std::string builtInEnglish(int key);

} // namespace carrovex
