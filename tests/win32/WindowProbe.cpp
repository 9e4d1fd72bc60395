#include "tests/win32/WindowProbe.h"

#include "platform/win32/DialogWindow.h"

namespace carrovex::testing
{

namespace
{

std::function<void()>& pendingAct()
{
    static std::function<void()> act;
    return act;
}

void CALLBACK runPendingAct(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    const std::function<void()> act = std::move(pendingAct());
    pendingAct() = nullptr;
    if (act) {
        act();
    }
}

} // namespace

RECT placeOf(HWND control)
{
    RECT place {};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

SIZE textExtent(HWND control)
{
    wchar_t text[512] = L"";
    ::GetWindowTextW(control, text, static_cast<int>(std::size(text)));
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT bounds {};
    ::DrawTextW(dc, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void runMessagesFor(int milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (::GetTickCount64() < end) {
        win32::runWaitingMessages(true);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void whenModalLoopRuns(std::function<void()> act)
{
    pendingAct() = std::move(act);
    ::SetTimer(nullptr, 0, 50, runPendingAct);
}

HWND findThreadWindow(const wchar_t* windowClass, HWND except, bool visibleOnly)
{
    struct Search {
        const wchar_t* windowClass;
        HWND except;
        bool visibleOnly;
        HWND found;
    } search {windowClass, except, visibleOnly, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = L"";
            ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
            if (window != s->except && (::IsWindowVisible(window) || !s->visibleOnly)
                && std::wstring(name) == s->windowClass) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void pressKey(HWND window, WPARAM key, bool alt)
{
    const HWND focus = ::GetFocus();
    MSG message {focus, static_cast<UINT>(alt ? WM_SYSCHAR : WM_KEYDOWN), key, alt ? (1 << 29) : 0, 0, {}};
    if (!::IsDialogMessageW(window, &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    win32::runWaitingMessages(true);
}

} // namespace carrovex::testing
