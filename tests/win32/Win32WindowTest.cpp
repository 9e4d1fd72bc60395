#include "form/LaterTexts.h"
#include "form/LogPane.h"
#include "platform/model/WindowModel.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "tests/ProgramWindow.h"
#include "tests/win32/WindowProbe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

// The real window with the shipped languages, without a display (Wine's null graphics driver).
namespace carrovex::testing
{

namespace
{

// A label or button shows its whole text, a check box or option its box and text.
void expectWholeTextVisible(HWND control)
{
    RECT client {};
    ::GetClientRect(control, &client);
    const SIZE text = textExtent(control);
    wchar_t className[16] = L"";
    ::GetClassNameW(control, className, static_cast<int>(std::size(className)));
    if (std::wstring(className) != L"Button" && std::wstring(className) != L"Static") {
        return; // a field shows what fits of its content
    }
    const LONG type = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    const bool choice = std::wstring(className) == L"Button" && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
    const int box = choice ? ::GetSystemMetricsForDpi(SM_CXMENUCHECK, ::GetDpiForWindow(control)) : 0;
    wchar_t shown[128] = L"";
    ::GetWindowTextW(control, shown, static_cast<int>(std::size(shown)));
    EXPECT_GE(client.right, box + text.cx) << ::testing::PrintToString(std::wstring(shown));
    EXPECT_GE(client.bottom, text.cy) << ::testing::PrintToString(std::wstring(shown));
}

class Win32Window : public ::testing::TestWithParam<const char*>, protected ProgramWindow<win32::Win32MainWindow>
{
protected:
    Win32Window()
        : ProgramWindow(GetParam())
    {
        load();
    }
};

TEST_P(Win32Window, EveryTextOfTheMainWindowAndTheOptionsDialogIsWhole)
{
    for (int index = 0; index <= static_cast<int>(Control::LogLabel); ++index) {
        expectWholeTextVisible(window.control(static_cast<Control>(index)));
    }
    // The run's Cancel text and the Stop text fit the same button.
    for (const int key : {11, 32}) {
        window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
        expectWholeTextVisible(window.control(Control::StartStop));
    }

    int checked = 0;
    window.showOptionsDialog([&](OptionsDialog& shown) {
        auto& dialog = static_cast<win32::Win32OptionsDialog&>(shown);
        return std::make_unique<DialogScript>([&] {
            LoadLanguage(dialog, ini);
            for (int index = 0; index <= static_cast<int>(DialogControl::Save); ++index) {
                expectWholeTextVisible(dialog.control(static_cast<DialogControl>(index)));
                ++checked;
            }
            dialog.close();
        });
    });
    EXPECT_EQ(checked, 12);
}

// The client area is the designed 6030 twips wide and as high as the outer height that the logic's layout
// gives less the frame's 390 twips; the buttons lie where it puts them on the panel, 30 twips above the client
// area's top.
TEST_P(Win32Window, LogPaneLayoutsAreTheLogicsLessTheFrame)
{
    WindowModel layout;
    for (const bool shown : {true, false}) {
        window.setValue(Control::ShowLog, shown ? 1 : 0);
        shown ? ShowLogPane(layout) : HideLogPane(layout);
        RECT client {};
        ::GetClientRect(window.handle(), &client);
        EXPECT_NEAR(client.right * window.twipsPerPixelX(), 6030, window.twipsPerPixelX());
        EXPECT_NEAR(client.bottom * window.twipsPerPixelY(), layout.outerHeight() - 390, window.twipsPerPixelY());
        for (const Control pane : {Control::Log, Control::LogLabel}) { // in a window that is not shown
            EXPECT_EQ((::GetWindowLongW(window.control(pane), GWL_STYLE) & WS_VISIBLE) != 0, shown) << nameOf(pane);
        }
        for (const Control button : {Control::Settings, Control::StartStop, Control::Quit}) {
            EXPECT_NEAR(placeOf(window.control(button)).top * window.twipsPerPixelY(),
                layout.top(button) - 30,
                window.twipsPerPixelY());
        }
    }
}

// A greyed Start gets no mouse input: the reason is a tip of the window over the button's place. Each field
// comes right after its label, which is where assistive technology looks for the field's name.
TEST_P(Win32Window, GreyStartTellsWhyAndEachFieldFollowsItsLabel)
{
    window.setText(Control::DestinationFolder, "/nowhere");
    ASSERT_FALSE(::IsWindowEnabled(window.control(Control::StartStop)));
    HWND tips = nullptr;
    while ((tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr)) != nullptr
        && ::GetWindow(tips, GW_OWNER) != window.handle()) { }
    ASSERT_NE(tips, nullptr);
    const RECT start = placeOf(window.control(Control::StartStop));
    TTHITTESTINFOW hit {};
    hit.hwnd = window.handle();
    hit.pt = {(start.left + start.right) / 2, (start.top + start.bottom) / 2};
    hit.ti.cbSize = sizeof hit.ti;
    ASSERT_TRUE(::SendMessageW(tips, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
    wchar_t text[256] = L"";
    hit.ti.lpszText = text;
    ::SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&hit.ti));
    EXPECT_EQ(std::wstring(text), win32::widen(laterText(ini, LaterText::NoDestinationFolder)));

    for (const auto& [field, label] : {std::pair {Control::SourceFolder, Control::SourceLabel},
             std::pair {Control::DestinationFolder, Control::DestinationLabel},
             std::pair {Control::Interval, Control::IntervalLabel},
             std::pair {Control::Log, Control::LogLabel}}) {
        EXPECT_EQ(::GetWindow(window.control(field), GW_HWNDPREV), window.control(label)) << nameOf(field);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, Win32Window, ::testing::Values("Deutsch", "English"));

} // namespace

} // namespace carrovex::testing
