#pragma once

namespace carrovex
{

class MainWindow;

// The main window as it is designed, before start-up gives it the language's texts and the settings:
// "Move files" selected, both check boxes clear, the log pane shown, the timer running.
void applyDesign(MainWindow& window);

} // namespace carrovex
