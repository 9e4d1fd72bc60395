#pragma once

#include <string>

namespace carrovex::posix
{

class StopSignals;

// Asks a yes/no question on the terminal: the question on standard error, the answer from standard input.
// An empty answer is Yes, the default; "y", "yes", "j", "ja" and "n", "no", "nein" in any case are taken,
// anything else asks again. No terminal on standard input, its end, or a stop signal answers No.
bool askOnTerminal(const std::string& question, StopSignals& signals);

} // namespace carrovex::posix
