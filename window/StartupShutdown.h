#pragma once

#include "platform/ProgramFolders.h"

#include <string>

namespace carrovex
{

struct MainForm;

// Start-up: the settings file in the settings folder and the stored language's file, the texts and settings into the
// controls, the folder check, and for the command line "/s" (exactly that) the scheduler started.
void Form_Load(MainForm& form, const ProgramFolders& folders, const std::string& commandLine);

// The Quit button: closes the window as every other way of closing does.
void Quit_Click(MainForm& form);

// Any way of closing. With no run in progress the closing sequence runs and the window may close now
// (true). During a run the run is cancelled after the file in hand and the window closes once it has
// returned (finishClosing).
bool closeRequested(MainForm& form);

// Ends a close that had to wait for a run.
void finishClosing(MainForm& form);

// Closing: saves the settings when the user says Yes to the question ("Question" = "1"), or without
// asking when "Save" = "1". A settings file that cannot be written never keeps the window open.
void Form_Unload(MainForm& form);

} // namespace carrovex
