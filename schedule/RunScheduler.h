#pragma once

namespace carrovex
{

struct MainForm;

// Start, Stop, or a cancel request when the button shows the Cancel text that a run put there. Start is
// refused with a message while the destination is the source or lies inside it.
void StartStop_Click(MainForm& form);

// The minute tick: counts down while started and starts a run when the interval has elapsed.
void Timer_Tick(MainForm& form);

// Start is possible only while both folder fields name existing folders; a missing folder, or a
// destination inside the source, stops a started scheduler, silently and keeping the count of minutes.
// Where a folder is missing, the Start button and the folder's field say so in their tips.
void CheckFolders(MainForm& form);

// A folder may appear or vanish without an edit (a disk is plugged in, a share comes back): while stopped,
// Start follows it. A started scheduler is left alone, so that a share that is away for a moment does not
// end weeks of unattended runs; its runs report the missing folder.
void recheckFolders(MainForm& form);

// Shows the caption and button text of the run state again (during a run the Cancel button stays),
// refills the interval list in the current language and, with log, writes the language-change line.
void SetMessages(MainForm& form, bool log);

// Runs DoAction unless a run is in progress; then the run comes at the first tick after it. A run that
// wrote error lines is announced by a notification, and marked in the caption unless the log was in view.
// Returns false when the window was asked to close during the run: the caller must leave the window alone.
bool runWhenFree(MainForm& form);

// The destination folder is the source folder, or lies inside it, however either is spelled.
bool destinationInSource(MainForm& form);

} // namespace carrovex
