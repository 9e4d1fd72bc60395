#pragma once

namespace carrovex
{

struct MainForm;

// The "..." buttons: the folder dialog, prompted with the field's caption and ":"; a chosen folder
// replaces the field's text, a cancelled dialog leaves it. The folder check runs either way.
void BrowseSource_Click(MainForm& form);
void BrowseDestination_Click(MainForm& form);

} // namespace carrovex
