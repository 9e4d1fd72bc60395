#pragma once

namespace carrovex
{

struct MainForm;

// Start, Stop, or a cancel request when the button shows the Cancel text that a run put there.
void StartStop_Click(MainForm& form);

// The minute tick: counts down while started and starts a run when the interval has elapsed.
void Timer_Tick(MainForm& form);

// Start is possible only while both folder fields name existing folders; a missing folder stops a started
// scheduler, silently and keeping the count of minutes.
void CheckFolders(MainForm& form);

// Shows the caption and button text of the run state again, refills the interval list in the current
// language and, with log, writes the language-change line.
void SetMessages(MainForm& form, bool log);

// Runs DoAction unless a run is in progress; then the run comes at the first tick after it. Returns
// false when the window was asked to close during the run: the caller must leave the window alone then.
bool runWhenFree(MainForm& form);

} // namespace carrovex
