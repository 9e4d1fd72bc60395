#pragma once

#include <string>

namespace carrovex::posix
{

class StopSignals;

// Asks a yes/no question on the terminal (see YesNoQuestion.h), the answer from standard input. No
// terminal on standard input, its end, or a stop signal answers No.
bool askOnTerminal(const std::string& question, StopSignals& signals);

} // namespace carrovex::posix
