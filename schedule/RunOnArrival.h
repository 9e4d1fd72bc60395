#pragma once

namespace carrovex
{

struct MainForm;

// With "RunOnArrival" on, files that arrive in the source folder bring a run soon after they land, on top of
// the minute countdown, which goes on as before and stays the backstop where the file system tells nothing.

// Watches the source folder while the scheduler is started with the switch on, and nothing otherwise; a
// folder that cannot be watched gets an error line, and the runs then come at the interval only. Call it
// whenever the run state, the source folder or the switch may have changed.
void WatchArrivals(MainForm& form);

// Files arrived in the watched folder: a run now, unless the scheduler is stopped or the user cancelled the
// run in progress (what arrived during it goes with it). False while a run is in progress: the files are
// to be reported again once it may be over.
bool FilesArrived(MainForm& form);

} // namespace carrovex
