#pragma once

#include "window/LanguageTexts.h"
#include "window/WindowState.h"

namespace carrovex
{

class Clock;
class DriveTable;
class FileSystem;
class MainWindow;

// The main window's procedures share this: its controls, its run state, its texts and the platform
// services it works with. The services are owned by the program and outlive the form.
struct MainForm {
    MainWindow& window;
    FileSystem& files;
    DriveTable& drives;
    Clock& clock;
    WindowState state;
    LanguageTexts sTexts;
};

} // namespace carrovex
