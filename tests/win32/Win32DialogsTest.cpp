#include "platform/common/BackgroundFileSystem.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/win32/WinDisk.h"
#include "tests/win32/WindowProbe.h"

#include <chrono>
#include <gmock/gmock.h>
#include <thread>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

using Win32Dialogs = ShownWindow;

// The dialog, message box or folder dialog that the window opened.
HWND openedBy(HWND window)
{
    return findThreadWindow(L"#32770", window);
}

// The save question has Yes as its default and tells the answer; a message has the one button OK.
TEST_F(Win32Dialogs, MessageBoxesShowTheirTitleAndTextAndTellTheAnswer)
{
    for (const int answer : {IDYES, IDNO, IDOK}) {
        std::string title;
        std::string text;
        bool yesIsDefault = false;
        whenModalLoopRuns([&] {
            const HWND box = openedBy(window.handle());
            wchar_t buffer[256] = L"";
            ::GetWindowTextW(box, buffer, 256);
            title = win32::narrow(buffer);
            ::GetDlgItemTextW(box, 0xFFFF, buffer, 256); // the message's static text
            text = win32::narrow(buffer);
            const HWND yes = ::GetDlgItem(box, IDYES);
            yesIsDefault = yes != nullptr && (::GetWindowLongW(yes, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON
                && ::GetFocus() == yes;
            ::SendMessageW(box, WM_COMMAND, answer, 0);
        });
        if (answer == IDOK) {
            window.showMessage("Die Einstellungen konnten nicht gespeichert werden.", "Carrovex Lite - Beenden");
            EXPECT_EQ(text, "Die Einstellungen konnten nicht gespeichert werden.");
            EXPECT_FALSE(yesIsDefault);
        } else {
            EXPECT_EQ(window.askYesNo("Einstellungen speichern?", "Carrovex Lite - Beenden"), answer == IDYES);
            EXPECT_EQ(text, "Einstellungen speichern?");
            EXPECT_TRUE(yesIsDefault);
        }
        EXPECT_EQ(title, "Carrovex Lite - Beenden");
    }
}

TEST_F(Win32Dialogs, FolderDialogHasThePromptAsTitleAndGivesTheChosenFolder)
{
    TempFolder temp;
    const std::string chosen = temp.folder("Ziel M\xC3\xA4rz");
    std::string title;
    whenModalLoopRuns([&] {
        const HWND dialog = openedBy(window.handle());
        wchar_t text[128] = L"";
        ::GetWindowTextW(dialog, text, 128);
        title = win32::narrow(text);
        // Typed into the name field and confirmed, as a user who knows the path does.
        const HWND name
            = ::FindWindowExW(::FindWindowExW(dialog, nullptr, L"ComboBoxEx32", nullptr), nullptr, nullptr, nullptr);
        HWND edit = ::GetDlgItem(dialog, 0x480);
        if (edit == nullptr && name != nullptr) {
            edit = ::FindWindowExW(name, nullptr, L"Edit", nullptr);
        }
        ::SetWindowTextW(edit, win32::widen(chosen).c_str());
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(window.browseFolder("Zielordner:", ""), chosen);
    EXPECT_EQ(title, "Zielordner:");

    whenModalLoopRuns([&] { ::SendMessageW(openedBy(window.handle()), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(window.browseFolder("Quellordner:", chosen), "");
}

TEST_F(Win32Dialogs, OptionsDialogIsModalToTheWindowOnlyKeepsItsOrderAndEscapeClosesNothing)
{
    std::vector<std::string> clicks;
    win32::Win32OptionsDialog* shown = nullptr;
    window.showOptionsDialog([&](OptionsDialog& made) {
        auto& dialog = static_cast<win32::Win32OptionsDialog&>(made);
        shown = &dialog;
        return std::make_unique<DialogScript>(
            [&dialog] {
                dialog.setTitle("Carrovex Lite - Einstellungen");
                dialog.setValue(DialogControl::AskBeforeSaving, 1); // raises its click
                dialog.addItem(DialogControl::Language, 0, "English");
                dialog.addItem(DialogControl::Language, 0, "Deutsch");
                dialog.setText(DialogControl::Language, "English");
                dialog.setFocus(DialogControl::RunOnStart);
            },
            &clicks);
    });
    // The call returned at once: a run in progress would go on.
    ASSERT_NE(shown, nullptr);
    win32::Win32OptionsDialog& dialog = *shown;
    ASSERT_TRUE(dialog.isOpen());
    EXPECT_FALSE(::IsWindowEnabled(window.handle()));
    EXPECT_EQ(::GetFocus(), dialog.control(DialogControl::RunOnStart));
    EXPECT_EQ(dialog.text(DialogControl::Language), "English");
    dialog.setText(DialogControl::Language, "english"); // a pick list: only the very text chooses
    EXPECT_EQ(dialog.text(DialogControl::Language), "");

    // Tab goes through the controls in their order, round past the label (which takes no focus) to the first
    // check box again.
    HWND at = dialog.control(DialogControl::SaveOnClose);
    for (int step = 1; step <= 11; ++step) {
        at = ::GetNextDlgTabItem(dialog.handle(), at, FALSE);
        const int next = (static_cast<int>(DialogControl::SaveOnClose) + step - 1) % 11 + 1;
        EXPECT_EQ(at, dialog.control(static_cast<DialogControl>(next))) << step;
    }

    pressKey(dialog.handle(), VK_ESCAPE);
    EXPECT_TRUE(dialog.isOpen());
    ::SendMessageW(
        dialog.handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.control(DialogControl::SaveOnClose)), TRUE);
    pressKey(dialog.handle(), VK_RETURN); // Save is the default button
    ::SendMessageW(dialog.control(DialogControl::About), BM_CLICK, 0, 0);
    EXPECT_THAT(clicks,
        ElementsAre("clicked " + std::to_string(static_cast<int>(DialogControl::AskBeforeSaving)),
            "clicked " + std::to_string(static_cast<int>(DialogControl::Save)),
            "clicked " + std::to_string(static_cast<int>(DialogControl::About))));

    ::SendMessageW(dialog.handle(), WM_CLOSE, 0, 0); // the close box saves nothing
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(::IsWindowEnabled(window.handle()));
}

TEST_F(Win32Dialogs, OptionsDialogGoesWithTheWindow)
{
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

// The minute timer, here shortened, ticks only while it is on, and on while a copy runs off the window's
// thread.
TEST(Win32BackgroundFiles, WindowKeepsTickingDuringALongCopy)
{
    FakeFileSystem slow;
    slow.addFile("/a", 1);
    slow.onTransfer([] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); });
    BackgroundFileSystem files(slow, win32::runEventsDuring);
    RecordedEvents events;
    win32::Win32MainWindow window(40);
    window.setEvents(&events);

    EXPECT_TRUE(files.startTransfer("/a", "/b", Transfer::Copy).ok());
    EXPECT_GE(std::count(events.seen.begin(), events.seen.end(), "tick"), 5)
        << "the window thread processed no events during the copy";

    window.setTimerEnabled(false);
    events.seen.clear();
    runMessagesFor(150);
    EXPECT_THAT(events.seen, ::testing::IsEmpty());
}

} // namespace

} // namespace carrovex::testing
