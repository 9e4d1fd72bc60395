#pragma once

#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

// What the console program was asked to do.
struct ConsoleOptions {
    bool once = false; // one transfer run, then exit
    bool help = false;
    bool version = false;
    bool newDestination = false; // the destination's disk is to be taken as it is now
    std::optional<std::string> folder; // the settings folder given with --dir
    std::optional<std::string> logFile; // the file given with --log, which the final lines are added to
};

// The options, or the one line that says what is wrong with them.
struct ParsedOptions {
    ConsoleOptions options;
    std::string error;
};

// Takes "--once", "--new-destination", "--dir DIR", "--dir=DIR", "--log FILE", "--log=FILE", "--help", "-h",
// "/?" (as Windows programs take it) and "--version"; a later --dir or --log wins.
ParsedOptions parseConsoleOptions(const std::vector<std::string>& arguments);

} // namespace carrovex
