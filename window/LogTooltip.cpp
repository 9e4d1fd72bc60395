#include "window/LogTooltip.h"

#include "platform/MainWindow.h"

#include <cmath>

namespace carrovex
{

void Log_MouseMove(MainWindow& window, int buttons, double x, double y)
{
    if (buttons != 0) {
        return;
    }
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    const auto px = static_cast<int>(std::nearbyint(x / window.twipsPerPixelX()));
    const auto py = static_cast<int>(std::nearbyint(y / window.twipsPerPixelY()));
    const int line = window.lineAt(px, py);
    window.setListToolTip(line >= 0 && line < window.lineCount() ? window.lineText(line) : std::string());
}

} // namespace carrovex
