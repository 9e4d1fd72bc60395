#pragma once

#include "form/LanguageTexts.h"

#include <string>

namespace carrovex
{

inline constexpr const char* captionPrefix = "Carrovex Lite - ";

std::string stoppedCaption(const LanguageTexts& texts);
// With waitingForFiles, the caption says that arriving files bring a run as well.
std::string countdownCaption(
    const LanguageTexts& texts, long long minutesLeft, const std::string& waitingForFiles = std::string());
std::string runDueCaption(const LanguageTexts& texts);
std::string runCaption(
    const LanguageTexts& texts, bool moving, const std::string& countText, const std::string& countWord);

struct MainForm;
class MainWindow;

// The caption that tells the truth at this moment: a run with its files (and that it stops after the file
// in hand, once cancelled), a run looking for files, the
// countdown while started, or stopped; followed by the count of error lines the user has not yet seen in
// the log. The tray icon's tip is the same text.
std::string stateCaption(const MainForm& form);
void showState(MainForm& form);

// The log pane is shown and the window is on the screen.
bool logInView(const MainWindow& window);

// The log has come into view: the error mark goes.
void logSeen(MainForm& form);

} // namespace carrovex
