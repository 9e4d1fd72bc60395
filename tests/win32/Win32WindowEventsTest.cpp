#include "form/LogPane.h"
#include "platform/win32/WideText.h"
#include "tests/win32/WindowProbe.h"
#include "window/LogTooltip.h"

#include <commctrl.h>
#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace carrovex::testing
{

namespace
{

class Win32WindowEvents : public ShownWindow
{
protected:
    HWND control(Control which)
    {
        return window.control(which);
    }

    void focus(Control which)
    {
        ::SendMessageW(window.handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(which)), TRUE);
        win32::runWaitingMessages(true);
        events.seen.clear();
    }

    LRESULT ask(UINT message, WPARAM parameter = 0)
    {
        return ::SendMessageW(control(Control::Log), message, parameter, 0);
    }
};

// The logic's own changes and the user's clicks and typing raise each event once; an option raises none.
TEST_F(Win32WindowEvents, ChangesRaiseTheirEventsOnce)
{
    window.setText(Control::SourceFolder, "C:\\a");
    window.setText(Control::SourceFolder, "C:\\a");
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Move, 0);
    ::SendMessageW(control(Control::ShowLog), BM_CLICK, 0, 0);
    ::SendMessageW(control(Control::Copy), BM_CLICK, 0, 0);
    ::SetWindowTextW(control(Control::DestinationFolder), L"D:\\b");

    EXPECT_THAT(events.seen,
        ElementsAre("changed SourceFolder", "clicked Overwrite", "clicked ShowLog", "changed DestinationFolder"));
    EXPECT_EQ(window.text(Control::SourceFolder), "C:\\a");
    EXPECT_EQ(window.value(Control::ShowLog), 1);
    EXPECT_EQ(window.value(Control::Copy), 1);
    EXPECT_EQ(window.value(Control::Move), 0);
}

TEST_F(Win32WindowEvents, KeyboardWorksAsInEveryDialog)
{
    focus(Control::SourceFolder);
    std::string visited;
    HWND at = control(Control::SourceFolder);
    for (int step = 0; step < 12; ++step) {
        at = ::GetNextDlgTabItem(window.handle(), at, FALSE);
        for (int which = 0; which <= static_cast<int>(Control::Quit); ++which) {
            if (at == control(static_cast<Control>(which))) {
                visited += " " + nameOf(static_cast<Control>(which));
            }
        }
    }
    // Of the two options, Tab reaches the selected one and the arrow keys the other.
    EXPECT_EQ(visited,
        " BrowseSource DestinationFolder BrowseDestination Interval Move Overwrite ShowLog Settings StartStop Quit Log"
        " SourceFolder");

    focus(Control::Interval);
    pressKey(window.handle(), VK_RETURN); // Start is the default button
    ::SetFocus(control(Control::Move)); // leaving the interval validates it
    win32::runWaitingMessages(true);
    pressKey(window.handle(), 'e', true); // "&Einstellungen"
    pressKey(window.handle(), 's', true); // "&Start"
    EXPECT_THAT(
        events.seen, ElementsAre("clicked StartStop", "validate Interval", "clicked Settings", "clicked StartStop"));
    focus(Control::Quit);
    pressKey(window.handle(), VK_RETURN); // unless another button has the focus
    pressKey(window.handle(), VK_ESCAPE); // which closes nothing
    EXPECT_THAT(events.seen, ElementsAre("clicked Quit"));
}

TEST_F(Win32WindowEvents, CloseBoxAsksTheLogicAndCloseEndsTheMessageLoopWithoutAsking)
{
    events.allowClose = false;
    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.isClosed());
    events.allowClose = true;
    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.isClosed());
    EXPECT_FALSE(::IsWindow(window.handle()));
    EXPECT_THAT(events.seen, ElementsAre("close", "close"));

    RecordedEvents other;
    win32::Win32MainWindow second;
    second.setEvents(&other);
    whenModalLoopRuns([&second] { second.close(); });
    second.runUntilClosed();
    EXPECT_TRUE(second.isClosed());
    EXPECT_THAT(other.seen, Not(Contains("close")));
}

// Logging off asks nothing of the window, and ends it as the end of the session, not as the close box.
TEST_F(Win32WindowEvents, EndOfTheSessionIsToldToTheLogicAndClosesTheWindow)
{
    EXPECT_EQ(::SendMessageW(window.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageW(window.handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF); // another program refused
    EXPECT_FALSE(window.isClosed());
    events.allowClose = false; // a run in progress
    ::SendMessageW(window.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(window.isClosed());
    events.allowClose = true;
    ::SendMessageW(window.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(window.isClosed());
    EXPECT_THAT(events.seen, ElementsAre("session ends", "session ends"));
}

// Showing the log moves the buttons into the part that the window grows by: the window's background there
// must not be painted over them after they were painted.
TEST_F(Win32WindowEvents, ButtonsMovedByTheLogPaneAreNotLeftUnderTheWindowsBackground)
{
    for (const bool logShown : {true, false, true}) {
        logShown ? ShowLogPane(window) : HideLogPane(window);
        const HRGN pending = ::CreateRectRgn(0, 0, 0, 0);
        ::GetUpdateRgn(window.handle(), pending, FALSE);
        for (const Control button : {Control::StartStop, Control::Quit, Control::Settings}) {
            RECT place {};
            ::GetWindowRect(control(button), &place);
            ::MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT*>(&place), 2);
            const bool paintedOver = ::RectInRegion(pending, &place) != FALSE;
            const bool paintsAgain = ::GetUpdateRect(control(button), nullptr, FALSE) != FALSE;
            EXPECT_TRUE(!paintedOver || paintsAgain) << static_cast<int>(button) << (logShown ? " shown" : " hidden");
        }
        ::DeleteObject(pending);
        win32::runWaitingMessages(true);
    }
}

TEST_F(Win32WindowEvents, IntervalListIsRefilledWithoutLosingTheTypedText)
{
    window.setText(Control::Interval, "7 Minuten");
    window.addItem(Control::Interval, 0, "5 Minuten");
    window.addItem(Control::Interval, 0, "1 Minute");
    window.addItem(Control::Interval, 2, "10 Minuten");
    EXPECT_EQ(window.text(Control::Interval), "7 Minuten");
    EXPECT_EQ(::SendMessageW(control(Control::Interval), CB_GETCOUNT, 0, 0), 3);
    wchar_t first[32] = L"";
    ::SendMessageW(control(Control::Interval), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, L"1 Minute");
    window.clearList(Control::Interval);
    EXPECT_EQ(::SendMessageW(control(Control::Interval), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(window.text(Control::Interval), "7 Minuten");
}

// The tray menu's entries have no window on the window: every operation on a control leaves them alone,
// and none of them ends the program.
TEST_F(Win32WindowEvents, TheTrayMenusEntriesTakeEveryOperationOnAControl)
{
    window.setText(Control::TrayShow, "Show");
    window.setTop(Control::TrayShow, 600);
    window.setValue(Control::TrayShow, 1);
    window.setVisible(Control::TrayQuit, false);
    window.setEnabled(Control::TrayQuit, false);
    window.clearList(Control::TrayQuit);
    window.addItem(Control::TrayQuit, 0, "1 Minute");

    EXPECT_EQ(window.control(Control::TrayShow), nullptr);
    EXPECT_EQ(window.text(Control::TrayShow), "Show");
    EXPECT_TRUE(window.isEnabled(Control::TrayQuit));
    EXPECT_THAT(events.seen, IsEmpty());
}

// The list keeps the newest 100000 lines; a view scrolled up to read keeps its lines as the oldest go.
TEST_F(Win32WindowEvents, KeepsTheNewestLinesInViewAndSelectingScrollsToTheLast)
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
TEST_F(Win32WindowEvents, TipShowsTheWholeLineUnderThePointer)
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

// Shown reaches the logic once the window is on the screen, and only the first time; hidden in the tray
// counts as minimised, and without a notification area (Wine's null graphics driver has none) the window
// stays on the screen.
TEST(Win32Desktop, ShownOnceAndTheTrayNeverLosesTheWindow)
{
    RecordedEvents events;
    win32::Win32MainWindow window;
    applyDesign(window);
    window.setEvents(&events);
    window.show();
    EXPECT_THAT(events.seen, ::testing::Not(::testing::Contains("shown"))); // not before the window is painted
    win32::runWaitingMessages(true);
    window.hideToTray();
    EXPECT_EQ(::IsWindowVisible(window.handle()) != FALSE, !window.hasTray());
    EXPECT_EQ(window.isMinimized(), window.hasTray());
    window.bringToFront();
    window.show();
    win32::runWaitingMessages(true);
    EXPECT_THAT(events.seen, ::testing::Contains("shown").Times(1)); // and "activated" as it comes to the front
    EXPECT_TRUE(::IsWindowVisible(window.handle()));
    EXPECT_FALSE(window.isMinimized());
}

} // namespace

} // namespace carrovex::testing
