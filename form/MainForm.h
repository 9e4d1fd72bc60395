#pragma once

#include "form/LanguageTexts.h"
#include "form/WindowState.h"

#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

class Clock;
class DriveTable;
class FileSystem;
class IniStore;
class KeptLog;
class MainWindow;
class NumberFormat;

// The main window's procedures share this: its controls, its run state, its texts and the platform
// services it works with. The services are owned by the program and outlive the form.
struct MainForm {
    MainWindow& window;
    FileSystem& files;
    DriveTable& drives;
    Clock& clock;
    IniStore& ini;
    const NumberFormat& numbers;
    WindowState state;
    LanguageTexts texts;
    std::string language; // the name of the active language
    std::vector<std::string> languageFolders; // the first that holds a language's file wins
    RunReport run {}; // filled as runs go; the fronts leave it out when they set up the form
    // The destination's disk as remembered in this process, which outlives a settings file that cannot be
    // written; nothing until it is first remembered or forgotten here, when the settings file's holds.
    std::optional<std::string> destinationDisk {};
    KeptLog* keptLog = nullptr; // where the final lines of the log are kept beyond the window; none: nowhere
    // The folder that arrivals were last watched in (empty: none), so that each folder is asked for once.
    std::optional<std::string> arrivalFolder {};
};

} // namespace carrovex
