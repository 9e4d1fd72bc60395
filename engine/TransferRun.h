#pragma once

namespace carrovex
{

struct MainForm;

// One transfer run: every plain file directly in the source folder is moved or copied into the
// destination folder, and each file's outcome becomes one log line. Never throws.
void DoAction(MainForm& form);

} // namespace carrovex
