#include "platform/MainWindowEvents.h"
#include "platform/win32/LogListBox.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsDialog.h"

#include <commctrl.h>

// The main window's controls: where each lies in twips, the focus order, and the notifications that
// become the logic's events.
namespace carrovex::win32
{

namespace
{

constexpr int firstControlId = 1000;
constexpr UINT_PTR minuteTimer = 1;
constexpr UINT_PTR logSubclass = 1;
constexpr UINT logChangedMessage = WM_APP;

// What the window's frame and title bar add to the client area in the design, in twips.
constexpr int borderWidth = 120;
constexpr int borderHeight = 390;

constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD windowExtendedStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

using Kind = TwipsPlacement::Kind;

struct Design {
    Control control;
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
    TwipsPlacement::Twips twips; // in the panel's coordinates, except where onWindow is set
    Kind kind;
    bool wholeText;
    bool onWindow = false;
};

constexpr DWORD child = WS_CHILD | WS_VISIBLE;
// Each label comes right before its field, which is how assistive technology finds a field's name. It lies
// above the field, so it ends where the field begins: the design's overlap of a twip or two would paint it
// over the field's frame.
constexpr DWORD label = child | SS_LEFT;
constexpr DWORD field = child | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;

// In the focus order; the labels take no focus.
const Design designs[] = {
    {Control::SourceLabel, L"STATIC", label, 0, {135, 240, 4185, 240}, Kind::Label, true},
    {Control::SourceFolder, L"EDIT", field, WS_EX_CLIENTEDGE, {135, 480, 5355, 285}, Kind::Field, false},
    {Control::BrowseSource, L"BUTTON", button, 0, {5550, 480, 285, 285}, Kind::Button, false},
    {Control::DestinationLabel, L"STATIC", label, 0, {135, 840, 4275, 240}, Kind::Label, true},
    {Control::DestinationFolder, L"EDIT", field, WS_EX_CLIENTEDGE, {135, 1080, 5355, 285}, Kind::Field, false},
    {Control::BrowseDestination, L"BUTTON", button, 0, {5580, 1020, 285, 285}, Kind::Button, false, true},
    {Control::IntervalLabel, L"STATIC", label, 0, {135, 1410, 1395, 240}, Kind::Label, true},
    {Control::Interval,
        L"COMBOBOX",
        child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
        0,
        {135, 1650, 1275, 315},
        Kind::Field,
        false},
    {Control::Move,
        L"BUTTON",
        child | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON,
        0,
        {1530, 1530, 1875, 255},
        Kind::Choice,
        true},
    {Control::Copy, L"BUTTON", child | BS_AUTORADIOBUTTON, 0, {1530, 1770, 1995, 255}, Kind::Choice, true},
    {Control::Overwrite,
        L"BUTTON",
        child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX,
        0,
        {3630, 1530, 2265, 195},
        Kind::Choice,
        true},
    {Control::ShowLog, L"BUTTON", child | WS_TABSTOP | BS_AUTOCHECKBOX, 0, {3630, 1770, 2295, 195}, Kind::Choice, true},
    {Control::Settings, L"BUTTON", button | WS_GROUP, 0, {120, 3210, 1845, 315}, Kind::Button, true},
    {Control::StartStop,
        L"BUTTON",
        child | WS_TABSTOP | BS_DEFPUSHBUTTON,
        0,
        {2025, 3210, 1875, 315},
        Kind::Button,
        true},
    {Control::Quit, L"BUTTON", button, 0, {3975, 3210, 1845, 315}, Kind::Button, true},
    {Control::LogLabel, L"STATIC", label, 0, {135, 2010, 4095, 225}, Kind::Label, true},
    {Control::Log, nullptr, 0, 0, {135, 2250, 5700, 840}, Kind::Area, false}, // a LogListBox
};

int idOf(Control control)
{
    return firstControlId + static_cast<int>(control);
}

HBRUSH whiteBrush()
{
    return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
}

UINT taskbarCreated()
{
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

} // namespace

Win32MainWindow::Win32MainWindow(UINT timerPeriod)
    : m_timerPeriod(timerPeriod)
{
    createModeless(nullptr, windowStyle, windowExtendedStyle);
}

void Win32MainWindow::createControls()
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (const Design& design : designs) {
        if (design.control == Control::Log) {
            m_log = std::make_unique<LogListBox>(m_window, idOf(Control::Log));
        }
        const HWND control = design.control == Control::Log
            ? m_log->handle()
            : ::CreateWindowExW(design.extendedStyle,
                design.windowClass,
                L"",
                design.style,
                0,
                0,
                0,
                0,
                m_window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(design.control))),
                instance,
                nullptr);
        m_controls[design.control] = control;
        TwipsPlacement::Twips twips = design.twips;
        if (!design.onWindow) {
            twips.left += panelLeft;
            twips.top += panelTop;
        }
        m_placement.add(control, twips, design.kind, design.wholeText);
    }
    ::SendMessageW(m_window, DM_SETDEFID, idOf(Control::StartStop), 0);
    ::SetWindowSubclass(m_log->handle(), logProcedure, logSubclass, reinterpret_cast<DWORD_PTR>(this));
    for (const auto& [size, metric] : {std::pair {ICON_BIG, SM_CXICON}, std::pair {ICON_SMALL, SM_CXSMICON}}) {
        const int pixels = ::GetSystemMetricsForDpi(metric, m_dpi);
        const HANDLE icon = ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR);
        if (icon != nullptr) {
            ::SendMessageW(m_window, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
        }
    }
    createToolTip();
}

void Win32MainWindow::createToolTip()
{
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST,
        TOOLTIPS_CLASSW,
        nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT,
        CW_USEDEFAULT,
        CW_USEDEFAULT,
        CW_USEDEFAULT,
        m_window,
        nullptr,
        ::GetModuleHandleW(nullptr),
        nullptr);
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(m_log->handle());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Lines break only where a tip has its own line breaks.
    ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

void Win32MainWindow::relayout()
{
    m_placement.apply(m_font, m_dpi);
    ::SendMessageW(m_log->handle(), LB_SETITEMHEIGHT, 0, LogListBox::lineHeight(m_font));
    applySize();
    placeStartToolTip();
}

// The list box learns of the log's changes once per round of events, however many lines came.
void Win32MainWindow::logChanged()
{
    if (!m_logUpdatePosted) {
        m_logUpdatePosted = ::PostMessageW(m_window, logChangedMessage, 0, 0) != 0;
    }
}

void Win32MainWindow::applySize()
{
    RECT frame {0, 0, m_placement.pixels(m_outerWidth - borderWidth), m_placement.pixels(m_outerHeight - borderHeight)};
    ::AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, windowExtendedStyle, m_dpi);
    ::SetWindowPos(m_window,
        nullptr,
        0,
        0,
        frame.right - frame.left,
        frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A control moved into the part that the window grows by would be painted over by the window's
    // background there, and stay blank until something else repaints it: the window paints first, now,
    // and its controls after it.
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool Win32MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        m_dpi = ::GetDpiForWindow(m_window);
        m_font = createDialogFont(m_dpi);
        createControls();
        relayout();
        addTrayIcon();
        ::SetTimer(m_window, minuteTimer, m_timerPeriod, nullptr);
        result = FALSE; // the focus is given when the window is shown
        return true;
    case trayMessage:
        trayEvent(LOWORD(lParam));
        return true;
    case shownMessage:
        if (m_events) {
            m_events->shown();
        }
        return true;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == windowOf(Control::Log)) {
            showLogMenu();
            return true;
        }
        return false;
    case logChangedMessage:
        m_logUpdatePosted = false;
        m_log->update();
        return true;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = LogListBox::lineHeight(m_font);
        result = TRUE;
        return true;
    case WM_DRAWITEM:
        m_log->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && m_events) {
            m_events->activated();
        }
        return false; // the dialog manager gives the focus back
    case WM_TIMER:
        if (wParam == minuteTimer && m_events) {
            m_events->timerTicked();
        } else if (wParam == arrivalsQuietTimer) {
            ::KillTimer(m_window, arrivalsQuietTimer);
            if (m_events && !m_events->filesArrived()) {
                ::SetTimer(m_window, arrivalsQuietTimer, static_cast<UINT>(arrivalQuietPeriod.count()), nullptr);
            }
        }
        return true;
    case WM_SIZE: {
        // Minimising and restoring raise the event; the size itself is the logic's.
        const bool minimized = wParam == SIZE_MINIMIZED;
        if (minimized != m_minimized) {
            m_minimized = minimized;
            if (m_events) {
                m_events->resized();
            }
        }
        return true;
    }
    case WM_CLOSE:
        if (!m_closed && (m_events == nullptr || m_events->closeRequested())) {
            close();
        }
        return true; // otherwise the logic closes the window once the run in progress has returned
    case WM_QUERYENDSESSION:
        result = TRUE; // a run in progress stops at WM_ENDSESSION after the file in hand; nothing is lost
        return true;
    case WM_ENDSESSION:
        // The system may end the program as soon as this returns: the logic saves now, without a question.
        if (wParam != FALSE && !m_closed && (m_events == nullptr || m_events->sessionEnding())) {
            close();
        }
        return true;
    case WM_DESTROY:
        if (m_trayShown) {
            ::Shell_NotifyIconW(NIM_DELETE, &m_tray);
            m_trayShown = false;
        }
        m_closed = true;
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0); // wakes runUntilClosed
        return true;
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<LRESULT>(whiteBrush());
        return true;
    case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        result = reinterpret_cast<LRESULT>(whiteBrush());
        return true;
    case WM_SETCURSOR:
        if (!m_busy) {
            return false;
        }
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        result = TRUE;
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != m_toolTip || header->code != TTN_GETDISPINFOW) {
            return false;
        }
        const HWND tipped
            = header->idFrom == startToolId ? windowOf(Control::StartStop) : reinterpret_cast<HWND>(header->idFrom);
        const auto controlTip = m_controlTips.find(tipped);
        std::wstring& tip = controlTip != m_controlTips.end() ? controlTip->second : m_toolTipText;
        reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = tip.data();
        return true;
    }
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        const HFONT previous = m_font;
        m_font = createDialogFont(m_dpi);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        relayout();
        ::DeleteObject(previous);
        return true;
    }
    default:
        // A restarted Explorer has forgotten the icons of the notification area.
        if (message == taskbarCreated() && !m_closed) {
            addTrayIcon();
            return true;
        }
        return false;
    }
}

void Win32MainWindow::command(int id, int notification)
{
    if (m_events == nullptr || id < firstControlId) {
        return; // Escape and the dialog manager's own OK: the window has no cancel button
    }
    const auto control = static_cast<Control>(id - firstControlId);
    switch (control) {
    case Control::SourceFolder:
    case Control::DestinationFolder:
        if (notification == EN_CHANGE) {
            m_events->changed(control);
        }
        break;
    case Control::Interval: {
        // Only when the focus goes to another control of this window, not to another program.
        const HWND focus = ::GetFocus();
        if (notification == CBN_KILLFOCUS && focus != nullptr && ::IsChild(m_window, focus)) {
            m_events->validate(control);
        }
        break;
    }
    case Control::BrowseSource:
    case Control::BrowseDestination:
    case Control::Settings:
    case Control::StartStop:
    case Control::Quit:
    case Control::ShowLog:
    case Control::Overwrite:
        if (notification == BN_CLICKED) {
            m_events->clicked(control);
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK Win32MainWindow::logProcedure(
    HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    auto* window = reinterpret_cast<Win32MainWindow*>(self);
    if (message == WM_MOUSEMOVE && window->m_events) {
        const int buttons = ((wParam & MK_LBUTTON) != 0 ? 1 : 0) | ((wParam & MK_RBUTTON) != 0 ? 2 : 0)
            | ((wParam & MK_MBUTTON) != 0 ? 4 : 0);
        const double x = static_cast<short>(LOWORD(lParam));
        const double y = static_cast<short>(HIWORD(lParam));
        window->m_events->mouseMoved(Control::Log, buttons, x * window->twipsPerPixelX(), y * window->twipsPerPixelY());
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

} // namespace carrovex::win32
