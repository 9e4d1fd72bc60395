#pragma once

#include "app/ConsoleOptions.h"
#include "platform/ProgramFolders.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

class Clock;
class DriveTable;
class FileSystem;
class LogFiles;
class NumberFormat;
class Terminal;
class TextFiles;

// The platform's services for one run of the console program, made by the platform's main.
struct ConsolePlatform {
    FileSystem& files;
    DriveTable& drives;
    Clock& clock;
    TextFiles& textFiles;
    LogFiles& logFiles;
    const NumberFormat& numbers;
    Terminal& terminal;
    // Holds the settings folder for this program as long as the result lives; nothing when another
    // program holds it.
    std::function<std::shared_ptr<void>(const std::string& folder)> holdSettingsFolder;
};

// What the help says that differs between the platforms.
struct ConsoleWords {
    const char* stopRequests; // "SIGINT or SIGTERM"
    const char* cancelledStatus; // the line on the status of a cancelled --once
    const char* settingsFolder; // the paragraph on where the settings folder is
    char separator; // of folder and file in a path
};

// The console program, given its arguments without the program's name: the help or the version with the
// folders it would use, or the run that run makes for the options. findFolders gives the folders for the
// settings folder of --dir (or none). Returns the exit status; failures end in one line on standard error.
int consoleMain(const std::vector<std::string>& arguments,
    const ConsoleWords& words,
    const std::function<ProgramFolders(const std::optional<std::string>&)>& findFolders,
    const std::function<int(const ConsoleOptions&, const ProgramFolders&)>& run);

// The scheduler, or one run with --once, on the platform's services; returns the exit status.
int runConsole(const ConsoleOptions& options, const ProgramFolders& folders, ConsolePlatform& platform);

} // namespace carrovex
