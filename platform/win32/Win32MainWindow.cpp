#include "platform/win32/Win32MainWindow.h"

#include "platform/MainWindowEvents.h"
#include "platform/win32/AccessibleName.h"
#include "platform/win32/FolderDialog.h"
#include "platform/win32/LogListBox.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "platform/win32/WindowText.h"

#include <algorithm>
#include <commctrl.h>

namespace carrovex::win32
{

namespace
{

bool isCheckBox(Control control)
{
    return control == Control::ShowLog || control == Control::Overwrite;
}

bool showsCaption(Control control)
{
    return control != Control::SourceFolder && control != Control::DestinationFolder && control != Control::Interval
        && control != Control::Log;
}

} // namespace

Win32MainWindow::~Win32MainWindow()
{
    // Destroying the controls moves the focus: nothing may reach the logic any more.
    m_events = nullptr;
    m_optionsDialog.reset();
    if (!m_closed) {
        ::DestroyWindow(m_window);
    }
    ::DeleteObject(m_font);
}

HWND Win32MainWindow::windowOf(Control control) const
{
    return windowIn(m_controls, control);
}

void Win32MainWindow::setEvents(MainWindowEvents* events)
{
    m_events = events;
}

void Win32MainWindow::show()
{
    RECT frame {};
    ::GetWindowRect(m_window, &frame);
    MONITORINFO monitor {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred, but never with its title bar above the work area: at a large scale on a small screen the fixed
    // window is taller than the screen, and a title bar out of reach could not be dragged.
    ::SetWindowPos(m_window,
        nullptr,
        std::max(area.left, area.left + (area.right - area.left - width) / 2),
        std::max(area.top, area.top + (area.bottom - area.top - height) / 2),
        0,
        0,
        SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(m_window, SW_SHOW);
    ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(windowOf(Control::SourceFolder)), TRUE);
    if (!m_shownBefore) {
        m_shownBefore = true;
        // The logic hears of it once the window has been painted, from the message loop.
        ::PostMessageW(m_window, shownMessage, 0, 0);
    }
}

void Win32MainWindow::runUntilClosed()
{
    while (!m_closed) {
        runWaitingMessages(true);
        if (m_closed) {
            break;
        }
        const HANDLE arrivals = m_arrivals.event();
        if (::MsgWaitForMultipleObjects(1, &arrivals, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0
            && m_arrivals.take()) {
            // Each arrival puts the report off, so that a burst of files brings one run.
            ::SetTimer(m_window, arrivalsQuietTimer, static_cast<UINT>(arrivalQuietPeriod.count()), nullptr);
        }
    }
}

bool Win32MainWindow::isClosed() const
{
    return m_closed;
}

HWND Win32MainWindow::control(Control control) const
{
    return windowOf(control);
}

std::string Win32MainWindow::text(Control control) const
{
    const HWND window = windowOf(control);
    if (window == nullptr) {
        const auto entry = m_trayTexts.find(control);
        return entry == m_trayTexts.end() ? std::string() : narrow(entry->second);
    }
    return windowText(window);
}

void Win32MainWindow::setText(Control control, const std::string& text)
{
    if (windowOf(control) == nullptr) {
        m_trayTexts[control] = widen(text);
        return;
    }
    // An unchanged text raises no change event, as with the other windows.
    if (windowText(windowOf(control)) == text) {
        return;
    }
    setWindowText(windowOf(control), text);
    if (showsCaption(control)) {
        relayout(); // a longer caption may need a larger scale
    }
}

int Win32MainWindow::value(Control control) const
{
    return ::SendMessageW(windowOf(control), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32MainWindow::setValue(Control control, int value)
{
    const int checked = value != 0 ? 1 : 0;
    if (Win32MainWindow::value(control) == checked) {
        return;
    }
    ::SendMessageW(windowOf(control), BM_SETCHECK, checked != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    // Set by the logic, a changed check box raises its click, as the user's click does.
    if (isCheckBox(control) && m_events) {
        m_events->clicked(control);
    }
}

// The tray menu's entries are always usable; the operations on controls leave them alone.
void Win32MainWindow::setEnabled(Control control, bool enabled)
{
    const HWND window = windowOf(control);
    // A disabled control cannot keep the keyboard: the focus moves on to the next control.
    if (!enabled && ::GetFocus() == window) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, 0, FALSE);
    }
    ::EnableWindow(window, enabled ? TRUE : FALSE);
}

bool Win32MainWindow::isEnabled(Control control) const
{
    const HWND window = windowOf(control);
    return window == nullptr || ::IsWindowEnabled(window) != 0;
}

void Win32MainWindow::setVisible(Control control, bool visible)
{
    ::ShowWindow(windowOf(control), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32MainWindow::setTop(Control control, int twips)
{
    if (const HWND window = windowOf(control)) {
        m_placement.setTop(window, twips + panelTop);
        relayout();
    }
}

void Win32MainWindow::clearList(Control control)
{
    const HWND combo = windowOf(control);
    const std::string text = windowText(combo);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    setWindowText(combo, text);
}

void Win32MainWindow::addItem(Control control, int position, const std::string& text)
{
    ::SendMessageW(windowOf(control),
        CB_INSERTSTRING,
        static_cast<WPARAM>(position),
        reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void Win32MainWindow::setCaption(const std::string& caption)
{
    setWindowText(m_window, caption);
    const std::wstring tip = widen(caption);
    const std::size_t length = std::min(tip.size(), std::size(m_tray.szTip) - 1);
    std::copy_n(tip.begin(), length, m_tray.szTip);
    m_tray.szTip[length] = L'\0';
    updateTray(NIF_TIP | NIF_SHOWTIP);
}

bool Win32MainWindow::isMinimized() const
{
    return ::IsIconic(m_window) != 0 || (m_shownBefore && !::IsWindowVisible(m_window));
}

void Win32MainWindow::setOuterWidth(int twips)
{
    m_outerWidth = twips;
    applySize();
}

void Win32MainWindow::setOuterHeight(int twips)
{
    m_outerHeight = twips;
    applySize();
}

void Win32MainWindow::setPanelHeight(int)
{
    // The window's own white background is the panel; it always fills the client area.
}

void Win32MainWindow::setBusyPointer(bool busy)
{
    m_busy = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

// A run lets events run twice per file. Each time repaints the log, which costs more than a small file's
// copy, so events run at most every 15 ms: the window still paints 60 times a second and a click waits no
// longer than that.
void Win32MainWindow::processEvents()
{
    constexpr auto eventPeriod = std::chrono::milliseconds(15);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_eventsRan < eventPeriod) {
        return;
    }
    runWaitingMessages(true);
    m_eventsRan = std::chrono::steady_clock::now();
}

void Win32MainWindow::setTimerEnabled(bool enabled)
{
    if (enabled) {
        ::SetTimer(m_window, 1, m_timerPeriod, nullptr); // setting it again starts a full period
    } else {
        ::KillTimer(m_window, 1);
    }
}

Status Win32MainWindow::watchArrivals(const std::string& folder)
{
    return m_arrivals.watch(folder);
}

bool Win32MainWindow::askYesNo(const std::string& prompt, const std::string& title)
{
    return ::MessageBoxW(m_window, widen(prompt).c_str(), widen(title).c_str(), MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

void Win32MainWindow::close()
{
    if (!m_closed) {
        ::KillTimer(m_window, 1);
        ::KillTimer(m_window, arrivalsQuietTimer);
        ::DestroyWindow(m_window);
    }
}

void Win32MainWindow::appendLine(const std::string& line)
{
    m_log->append(widen(line));
    logChanged();
    if (m_logListener != nullptr) {
        m_logListener->lineAppended(line);
    }
}

void Win32MainWindow::removeLastLine()
{
    m_log->removeLast();
    logChanged();
    if (m_logListener != nullptr) {
        m_logListener->lastLineRemoved();
    }
}

void Win32MainWindow::setLogListener(LogListener* listener)
{
    m_logListener = listener;
}

int Win32MainWindow::lineCount() const
{
    return m_log->count();
}

std::string Win32MainWindow::lineText(int index) const
{
    return narrow(m_log->line(index));
}

void Win32MainWindow::selectLine(int index)
{
    m_log->select(index);
    logChanged();
}

int Win32MainWindow::lineAt(int x, int y) const
{
    return m_log->lineAt(x, y);
}

// A disabled control gets no mouse input, its window does: the greyed Start button's tip is a tool of the
// window over the button's place, the other tips are tools of their controls.
void Win32MainWindow::setToolTip(Control control, const std::string& text)
{
    const HWND tipped = windowOf(control);
    const bool added = m_controlTips.contains(tipped);
    m_controlTips[tipped] = widen(text);
    if (added) {
        return; // the tip asks for its text each time it shows
    }
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(tipped);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (control == Control::StartStop) {
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = startToolId;
        ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        placeStartToolTip();
    }
}

void Win32MainWindow::placeStartToolTip()
{
    const HWND start = windowOf(Control::StartStop);
    if (!m_controlTips.contains(start)) {
        return;
    }
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_window;
    tool.uId = startToolId;
    ::GetWindowRect(start, &tool.rect);
    ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&tool.rect), 2);
    ::SendMessageW(m_toolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32MainWindow::setAccessibleName(Control control, const std::string& name)
{
    // A field is named by the label that comes right before it; the other controls are annotated.
    if (control == Control::BrowseSource || control == Control::BrowseDestination) {
        win32::setAccessibleName(windowOf(control), widen(name));
    }
}

void Win32MainWindow::setListToolTip(const std::string& text)
{
    const std::wstring tip = widen(text);
    if (tip == m_toolTipText) {
        return;
    }
    m_toolTipText = tip;
    // The tip asks for its text when it shows; a tip on show takes the new one, and an empty one goes.
    ::SendMessageW(m_toolTip, tip.empty() ? TTM_POP : TTM_UPDATE, 0, 0);
}

double Win32MainWindow::twipsPerPixelX() const
{
    return 1.0 / m_placement.scale();
}

double Win32MainWindow::twipsPerPixelY() const
{
    return 1.0 / m_placement.scale();
}

std::string Win32MainWindow::browseFolder(const std::string& prompt, const std::string& startFolder)
{
    return chooseFolder(m_window, prompt, startFolder);
}

// The dialog is modal to this window only: the window takes no input while it is open, but the call
// returns at once, so that a run in progress goes on. The dialog goes once its closing has returned.
void Win32MainWindow::showOptionsDialog(const DialogLogicFactory& makeLogic)
{
    if (m_optionsDialog && m_optionsDialog->isOpen()) {
        ::SetForegroundWindow(m_optionsDialog->handle());
        return;
    }
    try {
        m_optionsDialog = std::make_unique<Win32OptionsDialog>(m_window);
    } catch (const WindowRefused& refused) {
        // Thrown on through the window's messages, it would end the program and the schedule with it.
        showMessage(refused.what(), windowText(m_window));
        return;
    }
    m_optionsDialog->open(makeLogic);
}

} // namespace carrovex::win32
