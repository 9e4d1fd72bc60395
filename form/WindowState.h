#pragma once

#include <cstdint>
#include <string>

namespace carrovex
{

// The main window's run state; everything is false or zero when the window is created.
struct WindowState {
    bool running = false; // the scheduler is started
    bool busy = false; // a transfer run is handling files
    bool cancelRequested = false; // the user asked to cancel the run in progress
    std::int16_t elapsedMinutes = 0;
    std::int32_t intervalMinutes = 0;
    bool loading = false;
    bool startWhenShown = false; // the command line asked to start the scheduler

    // Kept by the scheduler and the run:
    bool cancelShown = false; // the button shows the Cancel text that the run put there
    bool runInProgress = false; // DoAction has been called and has not returned
    bool runDue = false; // a run fell due while another was in progress
    bool closeRequested = false; // the window is to close once the run in progress has returned
    bool watching = false; // arrivals in the source folder bring runs (RunOnArrival)
    int runErrors = 0; // the error lines the last run wrote
    int unseenErrors = 0; // error lines written while the log was not in view, until it comes into view
    bool saveFailed = false; // the settings could not be saved on closing
    bool unloaded = false; // the closing sequence has run
    bool sessionEnding = false; // the session ends: no one may be there to answer a question
};

// What the caption and the notification say about the run in progress or the last one; kept apart from
// the window state, which holds only flags and counts.
struct RunReport {
    bool moving = false; // the run in progress moves rather than copies ...
    std::string fileCount; // ... this many files
    std::string fileWord;
    std::string firstError; // the first error line the last run wrote
};

} // namespace carrovex
