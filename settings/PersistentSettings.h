#pragma once

#include "platform/Result.h"

namespace carrovex
{

struct MainForm;

// Puts the stored interval, folders, action and switches into the main window's controls.
void LoadSettings(MainForm& form);

// Writes the main window's folders, interval, switches and action to the settings file, all or none.
Status SaveSettings(MainForm& form);

} // namespace carrovex
