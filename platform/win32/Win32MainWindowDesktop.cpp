#include "platform/MainWindowEvents.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "platform/win32/WindowText.h"

#include <algorithm>

// The main window on the desktop: its icon in the notification area (the tray) with its menu and
// notifications, messages, and the language of the system's own texts.
namespace carrovex::win32
{

namespace
{

constexpr UINT trayId = 1;

// Copies the text into a fixed field of the tray's data, cut to fit.
template <std::size_t size> void copyInto(wchar_t (&field)[size], const std::wstring& text)
{
    const std::size_t length = std::min(text.size(), size - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = L'\0';
}

} // namespace

void Win32MainWindow::addTrayIcon()
{
    m_tray.cbSize = sizeof m_tray;
    m_tray.hWnd = m_window;
    m_tray.uID = trayId;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    m_tray.uCallbackMessage = trayMessage;
    m_tray.hIcon = reinterpret_cast<HICON>(::SendMessageW(m_window, WM_GETICON, ICON_SMALL, 0));
    if (m_tray.hIcon == nullptr) {
        m_tray.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    }
    copyInto(m_tray.szTip, widen(windowText(m_window)));
    m_trayShown = ::Shell_NotifyIconW(NIM_ADD, &m_tray) != 0;
    if (m_trayShown) {
        m_tray.uVersion = NOTIFYICON_VERSION_4; // events with their own codes and the pointer's place
        ::Shell_NotifyIconW(NIM_SETVERSION, &m_tray);
    }
}

void Win32MainWindow::updateTray(UINT flags)
{
    if (m_trayShown) {
        m_tray.uFlags = flags;
        ::Shell_NotifyIconW(NIM_MODIFY, &m_tray);
    }
}

void Win32MainWindow::trayEvent(UINT event)
{
    switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case NIN_BALLOONUSERCLICK:
        if (m_events) {
            m_events->clicked(Control::TrayShow);
        }
        break;
    case WM_CONTEXTMENU:
        showTrayMenu();
        break;
    default:
        break;
    }
}

void Win32MainWindow::showTrayMenu()
{
    const HMENU menu = ::CreatePopupMenu();
    for (const Control entry : {Control::TrayShow, Control::StartStop, Control::OpenLogFile, Control::TrayQuit}) {
        // The Start/Stop entry is the button away from the window: its text, its state, its click.
        const bool button = entry == Control::StartStop;
        const std::wstring text = button ? widen(windowText(windowOf(entry))) : m_trayTexts[entry];
        const UINT grey = button && !isEnabled(entry) ? MF_GRAYED : 0;
        ::AppendMenuW(menu, MF_STRING | grey, static_cast<UINT_PTR>(entry) + 1, text.c_str());
    }
    ::SetMenuDefaultItem(menu, static_cast<UINT>(Control::TrayShow) + 1, FALSE);
    popUp(menu);
}

// The window offers the log file where its lines are: in the log list's own menu.
void Win32MainWindow::showLogMenu()
{
    const HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(
        menu, MF_STRING, static_cast<UINT_PTR>(Control::OpenLogFile) + 1, m_trayTexts[Control::OpenLogFile].c_str());
    popUp(menu);
}

void Win32MainWindow::popUp(HMENU menu)
{
    POINT at {};
    ::GetCursorPos(&at);
    // Without the window in front, the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(m_window);
    const auto chosen = static_cast<UINT_PTR>(
        ::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, m_window, nullptr));
    ::DestroyMenu(menu);
    if (chosen != 0 && m_events) {
        m_events->clicked(static_cast<Control>(chosen - 1));
    }
}

bool Win32MainWindow::openFile(const std::string& path)
{
    // Below 33 the call failed.
    return reinterpret_cast<INT_PTR>(
               ::ShellExecuteW(m_window, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL))
        > 32;
}

bool Win32MainWindow::hasTray() const
{
    return m_trayShown;
}

void Win32MainWindow::hideToTray()
{
    if (hasTray()) {
        ::ShowWindow(m_window, SW_HIDE); // the taskbar entry goes with the window
    }
}

void Win32MainWindow::bringToFront()
{
    ::ShowWindow(m_window, ::IsIconic(m_window) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_window);
    ::SetActiveWindow(m_window);
}

void Win32MainWindow::notify(const std::string& title, const std::string& text)
{
    copyInto(m_tray.szInfoTitle, widen(title));
    copyInto(m_tray.szInfo, widen(text));
    m_tray.dwInfoFlags = NIIF_WARNING;
    updateTray(NIF_INFO);
}

void Win32MainWindow::showMessage(const std::string& text, const std::string& title)
{
    ::MessageBoxW(m_window, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

// The system's own texts (the buttons of message boxes, the folder dialog) follow the thread's language
// of the user interface where the system has them in that language.
void Win32MainWindow::setPlatformLanguage(const std::string& code)
{
    const LCID locale = ::LocaleNameToLCID(widen(code).c_str(), 0);
    const LANGID language
        = locale != 0 ? LANGIDFROMLCID(locale) : static_cast<LANGID>(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ::SetThreadUILanguage(language);
}

} // namespace carrovex::win32
