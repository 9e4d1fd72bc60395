#pragma once

#include "platform/win32/Win32MainWindow.h"
#include "tests/RecordedEvents.h"
#include "window/MainWindowDesign.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace carrovex::testing
{

// An options dialog's logic that runs the script when the dialog loads and records the clicks.
class DialogScript final : public OptionsDialogEvents
{
public:
    explicit DialogScript(std::function<void()> onLoad, std::vector<std::string>* clicks = nullptr)
        : m_onLoad(std::move(onLoad))
        , m_clicks(clicks)
    {
    }
    void load() override
    {
        if (m_onLoad) {
            m_onLoad();
        }
    }
    void clicked(DialogControl control) override
    {
        if (m_clicks != nullptr) {
            m_clicks->push_back("clicked " + std::to_string(static_cast<int>(control)));
        }
    }

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
