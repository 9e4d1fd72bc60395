#include "platform/win32/DialogWindow.h"

#include "platform/win32/SystemError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>

namespace carrovex::win32
{

namespace
{

// DLGTEMPLATE followed by an empty menu, the default dialog class and an empty title; no font, no
// controls. The template must be aligned to four bytes.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

EmptyTemplate templateFor(DWORD style, DWORD extendedStyle)
{
    EmptyTemplate empty {};
    empty.header.style = style;
    empty.header.dwExtendedStyle = extendedStyle;
    return empty;
}

// The top-level window that owns the window, whose dialog manager handles its keys.
HWND dialogOf(HWND window)
{
    return window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr;
}

} // namespace

void DialogWindow::createModeless(HWND owner, DWORD style, DWORD extendedStyle)
{
    const EmptyTemplate empty = templateFor(style, extendedStyle);
    if (::CreateDialogIndirectParamW(
            ::GetModuleHandleW(nullptr), &empty.header, owner, procedure, reinterpret_cast<LPARAM>(this))
        == nullptr) {
        throw WindowRefused(lastErrorText());
    }
}

INT_PTR CALLBACK DialogWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogWindow*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        self->m_window = window;
    }
    if (self == nullptr) {
        return FALSE;
    }
    LRESULT result = 0;
    if (!self->onMessage(message, wParam, lParam, result)) {
        return FALSE;
    }
    if (message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN
        || message == WM_INITDIALOG) {
        return static_cast<INT_PTR>(result); // these return their result directly
    }
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

void runWaitingMessages(bool withInput)
{
    const UINT which = withInput ? PM_REMOVE : PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    MSG message {};
    while (::PeekMessageW(&message, nullptr, 0, 0, which)) {
        const HWND dialog = dialogOf(message.hwnd);
        if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void runEventsDuring(const std::function<void()>& work, const std::function<void()>& everySecond)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto second = std::chrono::seconds(1);
    auto nextSecond = Clock::now() + second;
    const DWORD thread = ::GetCurrentThreadId();
    std::atomic<bool> done {false};
    auto finished = std::async(std::launch::async, [&] {
        // However the work ends, the window thread wakes up to see it.
        struct WakeWhenDone {
            std::atomic<bool>& done;
            DWORD thread;
            ~WakeWhenDone()
            {
                done = true;
                ::PostThreadMessageW(thread, WM_NULL, 0, 0);
            }
        } wake {done, thread};
        work();
    });
    while (!done) {
        runWaitingMessages(true);
        if (everySecond && Clock::now() >= nextSecond) {
            nextSecond = Clock::now() + second;
            everySecond();
        }
        if (!done) {
            // A message posted since the last look wakes it too.
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextSecond - Clock::now()).count();
            ::MsgWaitForMultipleObjects(0,
                nullptr,
                FALSE,
                everySecond ? static_cast<DWORD>(std::max<long long>(wait, 0)) : INFINITE,
                QS_ALLINPUT);
        }
    }
    finished.get();
}

} // namespace carrovex::win32
