#include "form/LogLines.h"

#include "platform/Clock.h"
#include "platform/MainWindow.h"

namespace carrovex
{

std::string logStamp(const Clock& clock)
{
    return clock.dateAndTime() + " - ";
}

void appendStampedLine(MainWindow& window, const Clock& clock, const std::string& text)
{
    window.appendLine(logStamp(clock) + text);
    window.selectLine(window.lineCount() - 1);
}

} // namespace carrovex
