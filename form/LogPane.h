#pragma once

namespace carrovex
{

class MainWindow;

// The tall layout with the log caption and list shown, and the short one where the button row takes
// their place; the two differ by 1020 twips in window height, panel height and button top.
void ShowLogPane(MainWindow& window);
void HideLogPane(MainWindow& window);

struct MainForm;

// Whatever size the window is dragged to, it returns to the size of the current log setting; a minimised
// window and one that is still loading are left alone.
void Form_Resize(MainForm& form);

} // namespace carrovex
