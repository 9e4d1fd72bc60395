#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <windows.h>

namespace carrovex::win32
{

// The system made no window: there is no desktop that can draw (Wine without a graphics driver, a session
// without a display), or the session has run out of window handles. The text is the system's reason.
class WindowRefused : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The windows are dialogs made from an empty template, so that the system's dialog manager gives them
// what users expect of a window full of controls: Tab and the arrow keys, access keys, a default button
// that Enter presses unless another button has the focus. The controls themselves are made in code,
// placed in pixels from their twips.
class DialogWindow
{
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    virtual ~DialogWindow() = default;

    HWND handle() const
    {
        return m_window;
    }

protected:
    // A window of its own, shown when the caller shows it: the dialog manager works for it in every
    // message loop that runWaitingMessages runs. Throws WindowRefused where the system makes none, so that
    // a window object always has its window and controls.
    void createModeless(HWND owner, DWORD style, DWORD extendedStyle);

    // The dialog procedure of the derived window: true when it handled the message, with the result in
    // result where the message has one. WM_INITDIALOG comes after m_window is set.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // The control's window, or none where it has none (the tray menu's entries): a call on no window fails
    // quietly, where a lookup that threw would end the program.
    template <typename Control> static HWND windowIn(const std::map<Control, HWND>& controls, Control control)
    {
        const auto found = controls.find(control);
        return found == controls.end() ? nullptr : found->second;
    }

    HWND m_window = nullptr;

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Runs the messages that are waiting, each through the dialog manager of the window it is for, and
// returns; input only when withInput is set.
void runWaitingMessages(bool withInput);

// Runs work on another thread while this thread runs its messages, the user's input included, until the
// work is done: a click is answered while a file is copied, never replayed once the controls have changed
// under it; everySecond (unless empty) runs on this thread once a second meanwhile. For BackgroundFileSystem.
void runEventsDuring(const std::function<void()>& work, const std::function<void()>& everySecond);

} // namespace carrovex::win32
