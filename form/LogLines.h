#pragma once

#include <string>

namespace carrovex
{

class Clock;
class MainWindow;

// The stamp that begins a log line: date, blank, time, " - ".
std::string logStamp(const Clock& clock);

// Appends a stamped line and brings it into view.
void appendStampedLine(MainWindow& window, const Clock& clock, const std::string& text);

} // namespace carrovex
