#pragma once

#include "platform/ProgramFolders.h"

#include <string>

namespace carrovex
{

struct MainForm;

// Start-up: the settings file in the settings folder and the stored language's file, the texts and
// settings into the controls, and the folder check. The command line "/s" (exactly that) starts the
// scheduler once the window is on the screen, so that a run made at Start can be watched and cancelled.
void Form_Load(MainForm& form, const ProgramFolders& folders, const std::string& commandLine);

// The window is on the screen: the scheduler starts if the command line asked for it.
void Form_Shown(MainForm& form);

// The Quit button: closes the window as every other way of closing does.
void Quit_Click(MainForm& form);

// Any way of closing. With no run in progress the closing sequence runs and the window may close now
// (true). During a run the run is cancelled after the file in hand and the window closes once it has
// returned (finishClosing).
bool closeRequested(MainForm& form);

// The session ends: the settings are saved at once as "Save" says, without the question that no one may be
// there to answer, since the system may end the program before a run in progress returns. Otherwise as
// closeRequested.
bool sessionEnding(MainForm& form);

// Ends a close that had to wait for a run.
void finishClosing(MainForm& form);

// Closing, once: saves the settings when the user says Yes to the question ("Question" on), or without
// asking when "Save" is on, which it is until the user switches it off. A save that fails is shown in a
// message (saveFailed); it never keeps the window open.
void Form_Unload(MainForm& form);

} // namespace carrovex
