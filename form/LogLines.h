#pragma once

#include <cstddef>
#include <string>

namespace carrovex
{

class Clock;
class MainWindow;

// The stamp that begins a log line: date, blank, time, " - ".
std::string logStamp(const Clock& clock);

// Appends a stamped line and brings it into view.
void appendStampedLine(MainWindow& window, const Clock& clock, const std::string& text);

struct MainForm;

// The line of a run cancelled after count files, without a stamp: "Cancelled: 3 files copied" as the
// language words it; a language file without that wording gets [t31], ": ", [t25] or [t26], " ", the
// count, " ", [t29] or [t30], in its own words.
std::string cancelLine(const MainForm& form, bool moving, std::size_t count);

} // namespace carrovex
