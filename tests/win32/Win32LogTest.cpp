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
        events.seen.clear();
    }

    HWND list()
    {
        return window.control(Control::Log);
    }

    int lineHeight()
    {
        return static_cast<int>(::SendMessageW(list(), LB_GETITEMHEIGHT, 0, 0));
    }

    // The text the list's tip shows.
    std::string tip()
    {
        wchar_t text[512] = L"";
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.hwnd = window.handle();
        tool.uId = reinterpret_cast<UINT_PTR>(list());
        tool.lpszText = text;
        ::SendMessageW(toolTip(), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        return win32::narrow(text);
    }

    // The tip window that the main window made for its list.
    HWND toolTip()
    {
        HWND found = nullptr;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND candidate, LPARAM data) {
                wchar_t name[32] = L"";
                ::GetClassNameW(candidate, name, 32);
                if (std::wstring(name) == TOOLTIPS_CLASSW) {
                    *reinterpret_cast<HWND*>(data) = candidate;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    RecordedEvents events;
    win32::Win32MainWindow window;
};

TEST_F(Win32Log, KeepsTheNewest100000LinesAndSelectingScrollsToTheLast)
{
    for (int i = 0; i < 100'010; ++i) {
        window.appendLine(std::to_string(i));
    }
    window.removeLastLine();

    EXPECT_EQ(window.lineCount(), 99'999);
    EXPECT_EQ(window.lineText(0), "10");
    EXPECT_EQ(window.lineText(99'998), "100008");
    window.selectLine(window.lineCount() - 1);
    win32::runWaitingMessages(true); // the list box learns of the lines once per round of events
    EXPECT_EQ(::SendMessageW(list(), LB_GETCOUNT, 0, 0), 99'999);
    EXPECT_EQ(::SendMessageW(list(), LB_GETCURSEL, 0, 0), 99'998);
    RECT client {};
    ::GetClientRect(list(), &client);
    const LRESULT top = ::SendMessageW(list(), LB_GETTOPINDEX, 0, 0);
    EXPECT_GE(99'998, top);
    EXPECT_LT(99'998, top + client.bottom / lineHeight() + 1); // in view
    window.selectLine(-1);
    win32::runWaitingMessages(true);
    EXPECT_EQ(::SendMessageW(list(), LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(Win32Log, ViewKeepsItsLinesWhenTheOldestAreDropped)
{
    window.show();
    for (int i = 0; i < 100'000; ++i) {
        window.appendLine(std::to_string(i));
    }
    win32::runWaitingMessages(true);
    ::SendMessageW(list(), LB_SETTOPINDEX, 500, 0); // the user scrolled up to read

    for (int i = 0; i < 10; ++i) {
        window.appendLine("new " + std::to_string(i));
    }
    win32::runWaitingMessages(true);

    EXPECT_EQ(::SendMessageW(list(), LB_GETTOPINDEX, 0, 0), 490);
    EXPECT_EQ(window.lineText(490), "500");
}

TEST_F(Win32Log, LinesKeepEveryCharacter)
{
    const std::string line = "07.12.2026 10:00:00 - Kopiert: M\xC3\xA4rz \xE2\x82\xAC \xF0\x9F\x98\x80.txt";
    window.appendLine(line);
    EXPECT_EQ(window.lineText(0), line);
    EXPECT_EQ(window.lineText(1), "");
}

TEST_F(Win32Log, LineAtAPointIsTheLineThereAndNoneBelowTheLast)
{
    EXPECT_EQ(window.lineAt(5, 2), -1); // an empty list
    for (const char* line : {"a", "b", "c"}) {
        window.appendLine(line);
    }
    const int height = lineHeight();
    ASSERT_GT(height, 0);
    EXPECT_EQ(window.lineAt(5, height / 2), 0);
    EXPECT_EQ(window.lineAt(5, 2 * height + height / 2), 2);
    EXPECT_EQ(window.lineAt(5, 3 * height + height / 2), -1);
    EXPECT_EQ(window.lineAt(-5, height / 2), -1);
}

TEST_F(Win32Log, PointerMovesReachTheLogicInTwipsWithTheButtonsHeld)
{
    ::SendMessageW(list(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    EXPECT_NEAR(events.lastX, 10 * window.twipsPerPixelX(), 1e-9);
    EXPECT_NEAR(events.lastY, 20 * window.twipsPerPixelY(), 1e-9);
    ::SendMessageW(list(), WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(10, 20));
    ::SendMessageW(list(), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(10, 20));
    EXPECT_THAT(events.seen, ElementsAre("moved Log 0", "moved Log 5", "moved Log 2"));
}

TEST_F(Win32Log, TipShowsTheWholeLineUnderThePointerAndNoneElsewhere)
{
    const std::string longLine(300, 'x');
    window.appendLine("short");
    window.appendLine(longLine);
    const double y = (lineHeight() * 1.5) * window.twipsPerPixelY();

    Log_MouseMove(window, 0, 30, y);
    EXPECT_EQ(tip(), longLine);
    Log_MouseMove(window, 0, 30, y + 10 * lineHeight() * window.twipsPerPixelY());
    EXPECT_EQ(tip(), "");
}

} // namespace

} // namespace carrovex::testing
