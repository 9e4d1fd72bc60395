#include "platform/win32/DialogWindow.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "tests/win32/WindowProbe.h"
#include "window/MainWindowDesign.h"

#include <gmock/gmock.h>
#include <shellapi.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The main window on the desktop: its first appearance, the tray icon and its menu, messages.
namespace carrovex::testing
{

namespace
{

// What the tray icon tells its window (version 4 of the notification area's messages).
constexpr UINT trayMessage = WM_APP + 2;

class Win32Desktop : public ::testing::Test
{
protected:
    Win32Desktop()
    {
        applyDesign(window);
        window.setEvents(&events);
    }

    RecordedEvents events;
    win32::Win32MainWindow window;
};

TEST_F(Win32Desktop, ShownIsTheLogicsOnceTheWindowIsOnTheScreenAndOnlyTheFirstTime)
{
    window.show();
    EXPECT_THAT(events.seen, IsEmpty()); // not before the window has been painted
    win32::runWaitingMessages(true);
    window.hideToTray();
    window.bringToFront();
    window.show();
    win32::runWaitingMessages(true);
    EXPECT_THAT(events.seen, ElementsAre("shown"));
}

TEST_F(Win32Desktop, WithoutANotificationAreaTheWindowStaysOnTheScreen)
{
    window.show();
    if (window.hasTray()) {
        GTEST_SKIP() << "this desktop shows a notification area (Wine's null graphics driver has none)";
    }
    window.hideToTray();
    EXPECT_TRUE(::IsWindowVisible(window.handle()));
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(Win32Desktop, TrayIconHidesAndBringsBackTheWindow)
{
    window.show();
    if (!window.hasTray()) {
        GTEST_SKIP() << "this desktop shows no notification area (Wine's null graphics driver has none)";
    }
    window.hideToTray();
    EXPECT_FALSE(::IsWindowVisible(window.handle()));
    EXPECT_TRUE(window.isMinimized()); // hidden in the tray counts as minimised

    ::ShowWindow(window.handle(), SW_MINIMIZE);
    window.bringToFront();
    EXPECT_TRUE(::IsWindowVisible(window.handle()));
    EXPECT_FALSE(::IsIconic(window.handle()));
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(Win32Desktop, ClicksOnTheTrayIconAndItsNotificationShowTheWindow)
{
    window.setText(Control::TrayShow, "Fenster anzeigen");
    window.setText(Control::TrayQuit, "&Beenden");
    EXPECT_EQ(window.text(Control::TrayShow), "Fenster anzeigen");
    EXPECT_EQ(window.text(Control::TrayQuit), "&Beenden");
    EXPECT_TRUE(window.isEnabled(Control::TrayQuit)); // the menu's entries are always usable
    window.setEnabled(Control::TrayQuit, false);
    EXPECT_TRUE(window.isEnabled(Control::TrayQuit));
    events.seen.clear();

    for (const UINT event : {static_cast<UINT>(NIN_SELECT),
             static_cast<UINT>(NIN_KEYSELECT),
             static_cast<UINT>(NIN_BALLOONUSERCLICK),
             static_cast<UINT>(WM_MOUSEMOVE)}) {
        ::SendMessageW(window.handle(), trayMessage, 0, MAKELPARAM(event, 1));
    }
    EXPECT_THAT(events.seen, ElementsAre("clicked TrayShow", "clicked TrayShow", "clicked TrayShow"));
    window.notify("Carrovex Lite - Fehler", "2 Fehler im Protokoll"); // without a tray: nothing
}

TEST_F(Win32Desktop, MessageShowsItsTextWithTheOneButtonOk)
{
    std::string title;
    std::string text;
    whenModalLoopRuns([&] {
        const HWND box = findThreadWindow(L"#32770", window.handle());
        wchar_t buffer[256] = L"";
        ::GetWindowTextW(box, buffer, 256);
        title = win32::narrow(buffer);
        ::GetDlgItemTextW(box, 0xFFFF, buffer, 256); // the message's static text
        text = win32::narrow(buffer);
        EXPECT_EQ(::GetDlgItem(box, IDNO), nullptr);
        ::SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    window.showMessage("Die Einstellungen konnten nicht gespeichert werden.", "Carrovex Lite - Beenden");
    EXPECT_EQ(title, "Carrovex Lite - Beenden");
    EXPECT_EQ(text, "Die Einstellungen konnten nicht gespeichert werden.");
}

TEST_F(Win32Desktop, OptionsDialogGoesWithTheWindow)
{
    window.show();
    win32::Win32OptionsDialog* shown = nullptr;
    window.showOptionsDialog([&](OptionsDialog& made) {
        shown = &static_cast<win32::Win32OptionsDialog&>(made);
        return std::make_unique<DialogScript>(nullptr);
    });
    ASSERT_NE(shown, nullptr);
    const HWND dialog = shown->handle();
    window.close();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_FALSE(shown->isOpen());
}

} // namespace

} // namespace carrovex::testing
