#pragma once

#include <string>

namespace carrovex
{

struct MainForm;

// Locks the settings controls for a run (enable false) and turns the Start button into the Cancel
// button, or unlocks them again afterwards (enable true).
void EnableControls(MainForm& form, bool enable, const std::string& countWord, const std::string& countText);

} // namespace carrovex
