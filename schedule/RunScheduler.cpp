#include "schedule/RunScheduler.h"

#include "engine/TransferRun.h"
#include "form/Captions.h"
#include "form/KeptLog.h"
#include "form/LaterTexts.h"
#include "form/LogLines.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "schedule/RunOnArrival.h"
#include "store/IniStore.h"

#include <limits>

namespace carrovex
{

namespace
{

// Deep enough for any real folder; the walk up from a destination stops at the root long before.
constexpr int deepestFolder = 256;

void setButtonText(MainForm& form, int key)
{
    form.window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
    form.state.cancelShown = false;
}

void stop(MainForm& form)
{
    WindowState& state = form.state;
    state.elapsedMinutes = 0;
    setButtonText(form, 12);
    state.running = false;
    state.runDue = false;
    WatchArrivals(form);
    showState(form);
    appendStampedLine(form.window, form.clock, form.texts[34]);
}

void start(MainForm& form)
{
    WindowState& state = form.state;
    if (destinationInSource(form)) {
        form.window.showMessage(laterText(form.ini, LaterText::DestinationInSource), captionPrefix + form.texts[1]);
        return;
    }
    setButtonText(form, 11);
    if (const auto minutes = intervalFromField(form)) {
        state.intervalMinutes = *minutes;
    }
    state.running = true;
    WatchArrivals(form);
    showState(form);
    appendStampedLine(form.window, form.clock, form.texts[33]);
    if (isOn(form.ini, runOnStart)) {
        runWhenFree(form);
    }
}

// The run is over: its errors are announced, and the caption follows at once.
void afterRun(MainForm& form)
{
    WindowState& state = form.state;
    if (state.runErrors > 0) {
        if (!logInView(form.window)) {
            state.unseenErrors += state.runErrors;
        }
        form.window.notify(
            captionPrefix + laterText(form.ini, LaterText::ErrorsInLog) + ": " + std::to_string(state.runErrors),
            form.run.firstError);
    }
    showState(form);
}

} // namespace

bool runWhenFree(MainForm& form)
{
    WindowState& state = form.state;
    if (state.runInProgress) {
        state.runDue = true;
        return true;
    }
    state.runDue = false;
    state.runInProgress = true;
    form.run.firstError.clear();
    showState(form);
    DoAction(form);
    state.runInProgress = false;
    if (form.keptLog != nullptr) {
        form.keptLog->runEnded();
    }
    if (state.closeRequested) {
        return false;
    }
    afterRun(form);
    return true;
}

void StartStop_Click(MainForm& form)
{
    // Whatever the language calls it: the button is the Cancel button exactly while a run shows it so.
    // The request is taken at once; the button rests until the run has ended after the file in hand.
    if (form.state.cancelShown) {
        form.state.cancelRequested = true;
        form.window.setEnabled(Control::StartStop, false);
        showState(form);
        return;
    }
    if (form.state.running) {
        stop(form);
    } else {
        start(form);
        if (form.state.closeRequested) {
            return;
        }
    }
    form.window.selectLine(form.window.lineCount() - 1);
}

void Timer_Tick(MainForm& form)
{
    WindowState& state = form.state;
    if (!state.running) {
        recheckFolders(form);
        return;
    }
    if (state.elapsedMinutes < std::numeric_limits<std::int16_t>::max()) {
        ++state.elapsedMinutes;
    }
    // At or past the interval: a count can be past it after a smaller interval was loaded.
    if (state.elapsedMinutes < state.intervalMinutes && !state.runDue) {
        showState(form); // during a run made at Start the run's caption stays
        return;
    }
    if (state.runInProgress) {
        state.runDue = true; // the first tick after the run in progress brings it
        return;
    }
    form.window.setTimerEnabled(false);
    if (!runWhenFree(form)) {
        return;
    }
    form.window.setTimerEnabled(true);
    state.elapsedMinutes = 0;
    showState(form);
}

void CheckFolders(MainForm& form)
{
    MainWindow& window = form.window;
    const bool sourceExists = form.files.folderExists(window.text(Control::SourceFolder));
    const bool destinationExists = form.files.folderExists(window.text(Control::DestinationFolder));
    const bool usable = sourceExists && destinationExists;
    // A started scheduler must not go on with folders that Start would refuse.
    if (form.state.running && (!usable || destinationInSource(form))) {
        setButtonText(form, 12);
        form.state.running = false;
        form.state.runDue = false;
        showState(form);
    }
    // The source may be another folder now, or none.
    WatchArrivals(form);
    window.setEnabled(Control::StartStop, usable);
    // A greyed Start says nothing by itself: the button and each field in question tell why.
    const std::string sourceTip = sourceExists ? std::string() : laterText(form.ini, LaterText::NoSourceFolder);
    const std::string destinationTip
        = destinationExists ? std::string() : laterText(form.ini, LaterText::NoDestinationFolder);
    window.setToolTip(Control::SourceFolder, sourceTip);
    window.setToolTip(Control::DestinationFolder, destinationTip);
    window.setToolTip(
        Control::StartStop, sourceTip + (sourceTip.empty() || destinationTip.empty() ? "" : "\n") + destinationTip);
}

void recheckFolders(MainForm& form)
{
    if (!form.state.running && !form.state.runInProgress) {
        CheckFolders(form);
    }
}

void SetMessages(MainForm& form, bool log)
{
    // The interval is reloaded first, so that the countdown shows the minutes left with the stored interval.
    FillIntervals(form);
    if (form.state.busy) {
        // A run is handling its files: the button stays the Cancel button.
        form.window.setText(Control::StartStop, form.texts[32]);
        form.state.cancelShown = true;
    } else {
        setButtonText(form, form.state.running ? 11 : 12);
    }
    // The options may have switched the watch on or off.
    WatchArrivals(form);
    showState(form);
    recheckFolders(form); // its reasons in the new language
    if (log) {
        appendStampedLine(form.window, form.clock, languageText(form.ini, 44) + " " + form.language);
    }
}

bool destinationInSource(MainForm& form)
{
    const std::string source = form.window.text(Control::SourceFolder);
    std::string folder = form.window.text(Control::DestinationFolder);
    for (int depth = 0; depth < deepestFolder; ++depth) {
        if (const Result<bool> same = form.files.sameFile(folder, source); same.ok() && same.value()) {
            return true;
        }
        // At the root a folder is its own parent.
        const std::string parent = form.files.joinPath(folder, "..");
        if (const Result<bool> top = form.files.sameFile(parent, folder); !top.ok() || top.value()) {
            return false;
        }
        folder = parent;
    }
    return false;
}

} // namespace carrovex
