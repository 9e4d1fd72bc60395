#pragma once

#include "platform/MainWindowEvents.h"
#include "platform/win32/Win32MainWindow.h"
#include "window/MainWindowDesign.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace carrovex::testing
{

// The name of a control, for the recorded events.
std::string nameOf(Control control);

// The main window's events as a test sees them: "changed SourceFolder", "clicked Quit", "tick"...
class RecordedEvents final : public MainWindowEvents
{
public:
    std::vector<std::string> seen;
    bool allowClose = true;
    double lastX = 0; // where the pointer last moved, in twips
    double lastY = 0;

    void changed(Control control) override
    {
        seen.push_back("changed " + nameOf(control));
    }
    void clicked(Control control) override
    {
        seen.push_back("clicked " + nameOf(control));
    }
    void validate(Control control) override
    {
        seen.push_back("validate " + nameOf(control));
    }
    void timerTicked() override
    {
        seen.push_back("tick");
    }
    bool filesArrived() override
    {
        seen.push_back("arrived");
        return true;
    }
    void mouseMoved(Control control, int buttons, double x, double y) override
    {
        seen.push_back("moved " + nameOf(control) + " " + std::to_string(buttons));
        lastX = x;
        lastY = y;
    }
    void resized() override
    {
        seen.push_back("resized");
    }
    void activated() override
    {
        seen.push_back("activated");
    }
    void shown() override
    {
        seen.push_back("shown");
    }
    bool closeRequested() override
    {
        seen.push_back("close");
        return allowClose;
    }
    bool sessionEnding() override
    {
        seen.push_back("session ends");
        return allowClose;
    }
};

// An options dialog's logic that runs the script when the dialog loads and records the clicks.
class DialogScript final : public OptionsDialogEvents
{
public:
    explicit DialogScript(std::function<void()> onLoad, std::vector<std::string>* clicks = nullptr);
    void load() override;
    void clicked(DialogControl control) override;

private:
    std::function<void()> m_onLoad;
    std::vector<std::string>* m_clicks;
};

// The bare window as the design makes it, shown, with its events recorded from then on; German texts as at
// first start.
class ShownWindow : public ::testing::Test
{
protected:
    ShownWindow()
    {
        applyDesign(window);
        window.setEvents(&events);
        window.show();
        win32::runWaitingMessages(true);
        events.seen.clear();
    }

    RecordedEvents events;
    win32::Win32MainWindow window; // its minute does not tick during a test
};

// Where a control lies in its window's client area, in pixels.
RECT placeOf(HWND control);

// The width and height the control's text takes in the control's own font ("&" marks an access key).
SIZE textExtent(HWND control);

// Runs the thread's messages for the milliseconds, as a window's message loop would.
void runMessagesFor(int milliseconds);

// Calls act once the thread's message loop runs again, from inside whatever modal loop runs then (a
// message box, a dialog).
void whenModalLoopRuns(std::function<void()> act);

// The first window of this thread with the class ("#32770" for dialogs) other than except; a hidden one
// only where visibleOnly is false.
HWND findThreadWindow(const wchar_t* windowClass, HWND except = nullptr, bool visibleOnly = true);

// A key pressed on the focused control, through its window's dialog manager as the message loop does.
void pressKey(HWND window, WPARAM key, bool alt = false);

} // namespace carrovex::testing
