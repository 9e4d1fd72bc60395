#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "tests/win32/WindowProbe.h"
#include "window/LogTooltip.h"
#include "window/MainWindowDesign.h"

#include <commctrl.h>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

class Win32Log : public ::testing::Test
{
protected:
    Win32Log()
    {
        applyDesign(window);
        window.setEvents(&events);
        window.show();
        events.seen.clear();
    }

    LRESULT ask(UINT message, WPARAM parameter = 0)
    {
        return ::SendMessageW(window.control(Control::Log), message, parameter, 0);
    }

    RecordedEvents events;
    win32::Win32MainWindow window;
};

// The list keeps the newest 100000 lines; a view scrolled up to read keeps its lines as the oldest go.
TEST_F(Win32Log, KeepsTheNewestLinesInViewAndSelectingScrollsToTheLast)
{
    for (int i = 0; i < 100'000; ++i) {
        window.appendLine(std::to_string(i));
    }
    win32::runWaitingMessages(true); // the list box learns of the lines once per round of events
    ask(LB_SETTOPINDEX, 500);
    const std::string unicode = "07.12.2026 10:00:00 - Kopiert: M\xC3\xA4rz \xE2\x82\xAC \xF0\x9F\x98\x80.txt";
    for (int i = 0; i < 9; ++i) {
        window.appendLine(unicode);
    }
    window.appendLine("removed");
    window.removeLastLine();
    win32::runWaitingMessages(true);

    EXPECT_EQ(ask(LB_GETTOPINDEX), 490);
    EXPECT_EQ(window.lineText(490), "500");
    EXPECT_EQ(window.lineCount(), 99'999);
    EXPECT_EQ(ask(LB_GETCOUNT), 99'999);
    EXPECT_EQ(window.lineText(0), "10");
    EXPECT_EQ(window.lineText(99'998), unicode);
    EXPECT_EQ(window.lineText(99'999), "");

    window.selectLine(window.lineCount() - 1);
    win32::runWaitingMessages(true);
    EXPECT_EQ(ask(LB_GETCURSEL), 99'998);
    RECT client {};
    ::GetClientRect(window.control(Control::Log), &client);
    const LRESULT top = ask(LB_GETTOPINDEX);
    EXPECT_GE(99'998, top);
    EXPECT_LT(99'998, top + client.bottom / ask(LB_GETITEMHEIGHT) + 1); // in view
    window.selectLine(-1);
    win32::runWaitingMessages(true);
    EXPECT_EQ(ask(LB_GETCURSEL), LB_ERR);
}

// The pointer's moves reach the logic in twips with the buttons held, and the tip shows the whole line
// under the pointer and none elsewhere.
TEST_F(Win32Log, TipShowsTheWholeLineUnderThePointer)
{
    ask(WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON);
    ::SendMessageW(window.control(Control::Log), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(10, 20));
    EXPECT_THAT(events.seen, ElementsAre("moved Log 5", "moved Log 2"));
    EXPECT_NEAR(events.lastX, 10 * window.twipsPerPixelX(), 1e-9);
    EXPECT_NEAR(events.lastY, 20 * window.twipsPerPixelY(), 1e-9);

    const std::string longLine(300, 'x');
    window.appendLine("short");
    window.appendLine(longLine);
    const int pixels = static_cast<int>(ask(LB_GETITEMHEIGHT));
    const double height = pixels * window.twipsPerPixelY();
    const auto tipAt = [this](double y) {
        Log_MouseMove(window, 0, 30, y);
        const HWND tip = findThreadWindow(TOOLTIPS_CLASSW, nullptr, false);
        wchar_t text[512] = L"";
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.hwnd = window.handle();
        tool.uId = reinterpret_cast<UINT_PTR>(window.control(Control::Log));
        tool.lpszText = text;
        ::SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        return win32::narrow(text);
    };
    EXPECT_EQ(tipAt(height * 1.5), longLine);
    EXPECT_EQ(tipAt(height * 11.5), "");
    EXPECT_EQ(window.lineAt(-5, pixels / 2), -1);
}

} // namespace

} // namespace carrovex::testing
