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

constexpr UINT shortTimer = 40;

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

TEST_F(Win32WindowEvents, ChangedTextsAndCheckBoxesRaiseTheirEventsOnce)
{
    window.setText(Control::SourceFolder, "C:\\a");
    window.setText(Control::SourceFolder, "C:\\a");
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Move, 0); // an option raises nothing
    window.setText(Control::Quit, "&Beenden");

    EXPECT_THAT(events.seen, ElementsAre("changed SourceFolder", "clicked Overwrite"));
    EXPECT_EQ(window.text(Control::SourceFolder), "C:\\a");
    EXPECT_EQ(window.value(Control::Overwrite), 1);
    EXPECT_EQ(window.text(Control::Quit), "&Beenden");
}

TEST_F(Win32WindowEvents, UsersClicksAndTypingRaiseTheSameEvents)
{
    ::SendMessageW(control(Control::ShowLog), BM_CLICK, 0, 0);
    ::SendMessageW(control(Control::Settings), BM_CLICK, 0, 0);
    ::SendMessageW(control(Control::Copy), BM_CLICK, 0, 0);
    ::SetWindowTextW(control(Control::DestinationFolder), L"D:\\b");

    EXPECT_THAT(events.seen, ElementsAre("clicked ShowLog", "clicked Settings", "changed DestinationFolder"));
    EXPECT_EQ(window.value(Control::ShowLog), 1);
    EXPECT_EQ(window.value(Control::Copy), 1);
    EXPECT_EQ(window.value(Control::Move), 0);
}

TEST_F(Win32WindowEvents, TabVisitsTheControlsInTheDesignedOrder)
{
    focus(Control::SourceFolder);
    std::vector<std::string> visited;
    HWND at = control(Control::SourceFolder);
    for (int step = 0; step < 12; ++step) {
        at = ::GetNextDlgTabItem(window.handle(), at, FALSE);
        for (const auto& [which, name] :
            std::initializer_list<std::pair<Control, const char*>> {{Control::SourceFolder, "SourceFolder"},
                {Control::BrowseSource, "BrowseSource"},
                {Control::DestinationFolder, "DestinationFolder"},
                {Control::BrowseDestination, "BrowseDestination"},
                {Control::Interval, "Interval"},
                {Control::Move, "Move"},
                {Control::Copy, "Copy"},
                {Control::Overwrite, "Overwrite"},
                {Control::ShowLog, "ShowLog"},
                {Control::Settings, "Settings"},
                {Control::StartStop, "StartStop"},
                {Control::Quit, "Quit"},
                {Control::Log, "Log"}}) {
            if (at == control(which)) {
                visited.push_back(name);
            }
        }
    }
    // Of the two options, Tab reaches the selected one and the arrow keys the other, as in every dialog.
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
}

TEST_F(Win32WindowEvents, EnterPressesStartUnlessAnotherButtonHasTheFocus)
{
    focus(Control::SourceFolder);
    pressKey(window.handle(), VK_RETURN);
    focus(Control::Interval);
    pressKey(window.handle(), VK_RETURN);
    EXPECT_THAT(events.seen, ElementsAre("clicked StartStop"));

    events.seen.clear();
    focus(Control::Quit);
    pressKey(window.handle(), VK_RETURN);
    EXPECT_THAT(events.seen, ElementsAre("clicked Quit"));
}

TEST_F(Win32WindowEvents, AccessKeysPressTheirButtons)
{
    focus(Control::SourceFolder);
    pressKey(window.handle(), 'e', true); // "&Einstellungen"
    pressKey(window.handle(), 's', true); // "&Start"
    EXPECT_THAT(events.seen, ElementsAre("clicked Settings", "clicked StartStop"));
}

TEST_F(Win32WindowEvents, LeavingTheIntervalForAnotherControlValidatesIt)
{
    focus(Control::Interval);
    ::SetFocus(control(Control::Move));
    win32::runWaitingMessages(true);
    EXPECT_THAT(events.seen, ElementsAre("validate Interval"));
}

TEST_F(Win32WindowEvents, EscapeClosesNothingAndTheCloseBoxAsksTheLogic)
{
    focus(Control::SourceFolder);
    pressKey(window.handle(), VK_ESCAPE);
    events.allowClose = false;
    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.isClosed());

    events.allowClose = true;
    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(window.isClosed());
    EXPECT_FALSE(::IsWindow(window.handle()));
    EXPECT_THAT(events.seen, ElementsAre("close", "close"));
}

TEST_F(Win32WindowEvents, CloseEndsTheMessageLoopWithoutAskingAgain)
{
    whenModalLoopRuns([this] { window.close(); });
    window.runUntilClosed();
    EXPECT_TRUE(window.isClosed());
    EXPECT_THAT(events.seen, Not(Contains("close")));
}

TEST(Win32WindowTimer, TicksWhileOnAndStartsAFullPeriodWhenSwitchedOnAgain)
{
    RecordedEvents events;
    win32::Win32MainWindow window(shortTimer);
    window.setEvents(&events);
    runMessagesFor(shortTimer * 5);
    const auto ticks = std::count(events.seen.begin(), events.seen.end(), "tick");
    EXPECT_GE(ticks, 2);

    window.setTimerEnabled(false);
    events.seen.clear();
    runMessagesFor(shortTimer * 3);
    EXPECT_THAT(events.seen, IsEmpty());

    window.setTimerEnabled(true);
    runMessagesFor(shortTimer / 2);
    EXPECT_THAT(events.seen, IsEmpty());
    runMessagesFor(shortTimer * 2);
    EXPECT_THAT(events.seen, Contains("tick"));
}

TEST_F(Win32WindowEvents, MinimisingAndRestoringRaiseResizeAndKeepCaptionAndSize)
{
    window.setCaption("Carrovex Lite - Gestoppt");
    RECT before {};
    ::GetWindowRect(window.handle(), &before);

    ::ShowWindow(window.handle(), SW_MINIMIZE);
    EXPECT_TRUE(window.isMinimized());
    ::ShowWindow(window.handle(), SW_RESTORE);

    EXPECT_FALSE(window.isMinimized());
    EXPECT_THAT(events.seen, ElementsAre("resized", "resized"));
    RECT after {};
    ::GetWindowRect(window.handle(), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    wchar_t caption[64] = L"";
    ::GetWindowTextW(window.handle(), caption, 64);
    EXPECT_STREQ(caption, L"Carrovex Lite - Gestoppt");
}

TEST_F(Win32WindowEvents, BusyPointerIsTheHourglassOverEveryControl)
{
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    window.setBusyPointer(true);
    for (const Control over : {Control::SourceFolder, Control::Log, Control::StartStop}) {
        ::SetCursor(nullptr);
        ::SendMessageW(
            control(over), WM_SETCURSOR, reinterpret_cast<WPARAM>(control(over)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), wait) << nameOf(over);
    }
    window.setBusyPointer(false);
    ::SetCursor(nullptr);
    ::SendMessageW(control(Control::StartStop),
        WM_SETCURSOR,
        reinterpret_cast<WPARAM>(control(Control::StartStop)),
        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), wait);
}

TEST_F(Win32WindowEvents, DisablingTheFocusedControlMovesTheFocusOn)
{
    focus(Control::SourceFolder);
    window.setEnabled(Control::SourceFolder, false);
    EXPECT_FALSE(window.isEnabled(Control::SourceFolder));
    EXPECT_NE(::GetFocus(), control(Control::SourceFolder));
    EXPECT_TRUE(::IsChild(window.handle(), ::GetFocus()));
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

} // namespace

} // namespace carrovex::testing
