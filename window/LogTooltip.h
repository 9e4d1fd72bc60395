#pragma once

namespace carrovex
{

class MainWindow;

// The pointer moved over the log list (position in twips): the whole line under it becomes the list's
// tip, or no tip where there is no line. Nothing changes while a mouse button is held.
void Log_MouseMove(MainWindow& window, int buttons, double x, double y);

} // namespace carrovex
