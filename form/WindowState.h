#pragma once

#include <cstdint>

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

    // Kept by the scheduler and the run:
    bool cancelShown = false; // the button shows the Cancel text that the run put there
    bool runInProgress = false; // DoAction has been called and has not returned
    bool runDue = false; // a run fell due while another was in progress
    bool closeRequested = false; // the window is to close once the run in progress has returned
    int runErrors = 0; // the error lines the last run wrote
};

} // namespace carrovex
