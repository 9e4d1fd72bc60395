#include "form/Captions.h"

#include "form/LaterTexts.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"

#include <algorithm>

namespace carrovex
{

std::string stoppedCaption(const LanguageTexts& texts)
{
    return captionPrefix + texts[16];
}

std::string countdownCaption(const LanguageTexts& texts, long long minutesLeft, const std::string& waitingForFiles)
{
    const std::string waiting = waitingForFiles.empty() ? std::string() : waitingForFiles + " ";
    return captionPrefix + texts[14] + " (" + waiting + texts[17] + " " + std::to_string(minutesLeft) + " "
        + unitWord(texts, minutesLeft) + ")";
}

std::string runDueCaption(const LanguageTexts& texts)
{
    return captionPrefix + texts[15] + "!";
}

std::string runCaption(
    const LanguageTexts& texts, bool moving, const std::string& countText, const std::string& countWord)
{
    return captionPrefix + texts[15] + " (" + (moving ? texts[28] : texts[27]) + " " + countText + " " + countWord
        + ")";
}

std::string stateCaption(const MainForm& form)
{
    const WindowState& state = form.state;
    const LanguageTexts& texts = form.texts;
    std::string caption;
    if (state.busy) {
        caption = runCaption(texts, form.run.moving, form.run.fileCount, form.run.fileWord);
        if (state.cancelRequested) {
            caption += " - " + laterText(form.ini, LaterText::StoppingAfterFile);
        }
    } else if (state.runInProgress) {
        caption = runDueCaption(texts);
    } else if (state.running) {
        // A count at or past the interval (a smaller interval was loaded) shows 0.
        caption = countdownCaption(texts,
            std::max<long long>(0, static_cast<long long>(state.intervalMinutes) - state.elapsedMinutes),
            state.watching ? laterText(form.ini, LaterText::WaitingForFiles) : std::string());
    } else {
        caption = stoppedCaption(texts);
    }
    if (state.unseenErrors > 0) {
        caption += " - " + laterText(form.ini, LaterText::ErrorsInLog) + ": " + std::to_string(state.unseenErrors);
    }
    return caption;
}

void showState(MainForm& form)
{
    form.window.setCaption(stateCaption(form));
}

bool logInView(const MainWindow& window)
{
    return window.value(Control::ShowLog) == 1 && !window.isMinimized();
}

void logSeen(MainForm& form)
{
    if (form.state.unseenErrors > 0 && logInView(form.window)) {
        form.state.unseenErrors = 0;
        showState(form);
    }
}

} // namespace carrovex
