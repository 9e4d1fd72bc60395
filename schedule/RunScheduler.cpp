#include "schedule/RunScheduler.h"

#include "engine/TransferRun.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "settings/IniStore.h"
#include "settings/LanguageCatalogue.h"
#include "window/Captions.h"
#include "window/LogLines.h"
#include "window/MainForm.h"

#include <algorithm>
#include <limits>

namespace carrovex
{

namespace
{

void setButtonText(MainForm& form, int key)
{
    form.window.setText(Control::cmdStopStart, form.sTexts[static_cast<std::size_t>(key)]);
    form.state.cancelShown = false;
}

// The minutes left until the next run; a count already at or past the interval shows 0.
long long minutesLeft(const WindowState& state)
{
    return std::max<long long>(0, static_cast<long long>(state.lInterval) - state.iElapsed);
}

void stop(MainForm& form)
{
    WindowState& state = form.state;
    state.iElapsed = 0;
    setButtonText(form, 12);
    form.window.setCaption(stoppedCaption(form.sTexts));
    appendStampedLine(form.window, form.clock, form.sTexts[34]);
    state.bRunning = false;
    state.runDue = false;
}

void start(MainForm& form)
{
    WindowState& state = form.state;
    setButtonText(form, 11);
    if (const auto minutes = intervalFromField(form)) {
        state.lInterval = *minutes;
    }
    form.window.setCaption(countdownCaption(form.sTexts, minutesLeft(state)));
    appendStampedLine(form.window, form.clock, form.sTexts[33]);
    state.bRunning = true;
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

void cmdStopStart_Click(MainForm& form)
{
    // Whatever the language calls it: the button is the Cancel button exactly while a run shows it so.
    if (form.state.cancelShown) {
        form.state.bCancel = true;
        return;
    }
    if (form.state.bRunning) {
        stop(form);
    } else {
        start(form);
        if (form.state.closeRequested) {
            return;
        }
    }
    form.window.selectLine(form.window.lineCount() - 1);
}

void Timer1_Timer(MainForm& form)
{
    WindowState& state = form.state;
    if (!state.bRunning) {
        return;
    }
    if (state.iElapsed < std::numeric_limits<std::int16_t>::max()) {
        ++state.iElapsed;
    }
    // At or past the interval: a count can be past it after a smaller interval was loaded.
    if (state.iElapsed < state.lInterval && !state.runDue) {
        form.window.setCaption(countdownCaption(form.sTexts, minutesLeft(state)));
        return;
    }
    if (state.runInProgress) {
        state.runDue = true; // the first tick after the run in progress brings it
        return;
    }
    form.window.setCaption(runDueCaption(form.sTexts));
    form.window.setTimerEnabled(false);
    if (!runWhenFree(form)) {
        return;
    }
    form.window.setTimerEnabled(true);
    state.iElapsed = 0;
    if (!state.bRunning) {
        // Stopped during the run: the caption must not announce a next run.
        form.window.setCaption(stoppedCaption(form.sTexts));
        return;
    }
    form.window.setCaption(afterRunCaption(form.sTexts));
    form.window.setCaption(countdownCaption(form.sTexts, state.lInterval));
}

void CheckFolders(MainForm& form)
{
    MainWindow& window = form.window;
    const bool sourceExists = form.files.folderExists(window.text(Control::Text1));
    const bool destinationExists = form.files.folderExists(window.text(Control::Text2));
    if (sourceExists && destinationExists) {
        window.setEnabled(Control::cmdStopStart, true);
        return;
    }
    if (form.state.bRunning) {
        setButtonText(form, 12);
        window.setCaption(stoppedCaption(form.sTexts));
        form.state.bRunning = false;
        form.state.runDue = false;
    }
    window.setEnabled(Control::cmdStopStart, false);
}

void SetMessages(MainForm& form, bool log)
{
    // The interval is reloaded first, so that the countdown shows the minutes left with the stored interval.
    FillIntervals(form);
    if (form.state.bRunning) {
        setButtonText(form, 11);
        form.window.setCaption(countdownCaption(form.sTexts, minutesLeft(form.state)));
    } else {
        form.window.setCaption(stoppedCaption(form.sTexts));
        setButtonText(form, 12);
    }
    if (log) {
        appendStampedLine(form.window, form.clock, languageText(form.ini, 44) + " " + form.sLanguage);
    }
}

} // namespace carrovex
