#include "schedule/RunOnArrival.h"

#include "form/LaterTexts.h"
#include "form/LogLines.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"
#include "platform/Result.h"
#include "schedule/RunScheduler.h"
#include "store/IniStore.h"

namespace carrovex
{

void WatchArrivals(MainForm& form)
{
    const bool wanted = form.state.running && isOn(form.ini, runOnArrival);
    const std::string folder = wanted ? form.window.text(Control::SourceFolder) : std::string();
    if (form.arrivalFolder == folder) {
        return;
    }
    form.arrivalFolder = folder;
    const Status watching = form.window.watchArrivals(folder);
    form.state.watching = wanted && watching.ok();
    if (!watching.ok()) {
        appendStampedLine(form.window,
            form.clock,
            withArguments(laterText(form.ini, LaterText::CannotWatchSource), {"\"" + folder + "\"", watching.error()}));
    }
}

bool FilesArrived(MainForm& form)
{
    const WindowState& state = form.state;
    if (!state.watching || !state.running || state.cancelRequested) {
        return true;
    }
    if (state.runInProgress) {
        return false;
    }
    // The minute count is left alone: the countdown goes on as if this run had not been. A close asked for
    // during the run is carried out by the caller.
    runWhenFree(form);
    return true;
}

} // namespace carrovex
