#include "form/LogPane.h"
#include "platform/win32/Win32MainWindow.h"
#include "tests/win32/WindowProbe.h"
#include "window/MainWindowDesign.h"

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

// The bare window as the design makes it, shown, with its events recorded; German texts as at first start.
class Win32WindowEvents : public ::testing::Test
{
protected:
    Win32WindowEvents()
    {
        applyDesign(window);
        window.setEvents(&events);
        window.show();
        win32::runWaitingMessages(true);
        events.seen.clear();
    }

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

    RecordedEvents events;
    win32::Win32MainWindow window; // its minute does not tick during a test
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
    std::vector<std::string> visited;
    HWND at = control(Control::SourceFolder);
    for (int step = 0; step < 12; ++step) {
        at = ::GetNextDlgTabItem(window.handle(), at, FALSE);
        for (int which = 0; which <= static_cast<int>(Control::Quit); ++which) {
            if (at == control(static_cast<Control>(which))) {
                visited.push_back(nameOf(static_cast<Control>(which)));
            }
        }
    }
    // Of the two options, Tab reaches the selected one and the arrow keys the other.
    EXPECT_THAT(visited,
        ElementsAre("BrowseSource",
            "DestinationFolder",
            "BrowseDestination",
            "Interval",
            "Move",
            "Overwrite",
            "ShowLog",
            "Settings",
            "StartStop",
            "Quit",
            "Log",
            "SourceFolder"));

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
