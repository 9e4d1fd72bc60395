#include "schedule/RunScheduler.h"

#include "engine/TransferRun.h"
#include "form/Captions.h"
#include "form/LogLines.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "store/IniStore.h"

#include <algorithm>
#include <limits>

namespace carrovex
{

namespace
{

void setButtonText(MainForm& form, int key)
{
    form.window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
    form.state.cancelShown = false;
}

// The minutes left until the next run; a count already at or past the interval shows 0.
long long minutesLeft(const WindowState& state)
{
    return std::max<long long>(0, static_cast<long long>(state.intervalMinutes) - state.elapsedMinutes);
}

void stop(MainForm& form)
{
    WindowState& state = form.state;
    state.elapsedMinutes = 0;
    setButtonText(form, 12);
    form.window.setCaption(stoppedCaption(form.texts));
    appendStampedLine(form.window, form.clock, form.texts[34]);
    state.running = false;
    state.runDue = false;
}

void start(MainForm& form)
{
    WindowState& state = form.state;
    setButtonText(form, 11);
    if (const auto minutes = intervalFromField(form)) {
        state.intervalMinutes = *minutes;
    }
    form.window.setCaption(countdownCaption(form.texts, minutesLeft(state)));
    appendStampedLine(form.window, form.clock, form.texts[33]);
    state.running = true;
    if (form.ini.ReadIniValue("Options", "DoActionOnStart", "0", iniValueSize) == "1") {
        runWhenFree(form);
    }
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
    DoAction(form);
    state.runInProgress = false;
    return !state.closeRequested;
}

void StartStop_Click(MainForm& form)
{
    // Whatever the language calls it: the button is the Cancel button exactly while a run shows it so.
    if (form.state.cancelShown) {
        form.state.cancelRequested = true;
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
        return;
    }
    if (state.elapsedMinutes < std::numeric_limits<std::int16_t>::max()) {
        ++state.elapsedMinutes;
    }
    // At or past the interval: a count can be past it after a smaller interval was loaded.
    if (state.elapsedMinutes < state.intervalMinutes && !state.runDue) {
        form.window.setCaption(countdownCaption(form.texts, minutesLeft(state)));
        return;
    }
    if (state.runInProgress) {
        state.runDue = true; // the first tick after the run in progress brings it
        return;
    }
    form.window.setCaption(runDueCaption(form.texts));
    form.window.setTimerEnabled(false);
    if (!runWhenFree(form)) {
        return;
    }
    form.window.setTimerEnabled(true);
    state.elapsedMinutes = 0;
    if (!state.running) {
        // Stopped during the run: the caption must not announce a next run.
        form.window.setCaption(stoppedCaption(form.texts));
        return;
    }
    form.window.setCaption(afterRunCaption(form.texts));
    form.window.setCaption(countdownCaption(form.texts, state.intervalMinutes));
}

void CheckFolders(MainForm& form)
{
    MainWindow& window = form.window;
    const bool sourceExists = form.files.folderExists(window.text(Control::SourceFolder));
    const bool destinationExists = form.files.folderExists(window.text(Control::DestinationFolder));
    if (sourceExists && destinationExists) {
        window.setEnabled(Control::StartStop, true);
        return;
    }
    if (form.state.running) {
        setButtonText(form, 12);
        window.setCaption(stoppedCaption(form.texts));
        form.state.running = false;
        form.state.runDue = false;
    }
    window.setEnabled(Control::StartStop, false);
}

void SetMessages(MainForm& form, bool log)
{
    // The interval is reloaded first, so that the countdown shows the minutes left with the stored interval.
    FillIntervals(form);
    if (form.state.running) {
        setButtonText(form, 11);
        form.window.setCaption(countdownCaption(form.texts, minutesLeft(form.state)));
    } else {
        form.window.setCaption(stoppedCaption(form.texts));
        setButtonText(form, 12);
    }
    if (log) {
        appendStampedLine(form.window, form.clock, languageText(form.ini, 44) + " " + form.language);
    }
}

} // namespace carrovex
