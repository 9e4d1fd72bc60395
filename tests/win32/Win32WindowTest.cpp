#include "form/MainForm.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/SourceTreeFiles.h"
#include "tests/win32/WindowProbe.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <gtest/gtest.h>

// The real window with the shipped languages, without a display (Wine's null graphics driver).
namespace carrovex::testing
{

namespace
{

// A control shows its whole text: a label or button its text, a check box or option its box and text.
void expectWholeTextVisible(HWND control, const std::string& where)
{
    RECT client {};
    ::GetClientRect(control, &client);
    const SIZE text = textExtent(control);
    wchar_t className[16] = L"";
    ::GetClassNameW(control, className, static_cast<int>(std::size(className)));
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    const bool choice = std::wstring(className) == L"Button" && (style & BS_TYPEMASK) != BS_PUSHBUTTON
        && (style & BS_TYPEMASK) != BS_DEFPUSHBUTTON;
    const int box = choice ? ::GetSystemMetricsForDpi(SM_CXMENUCHECK, ::GetDpiForWindow(control)) : 0;
    EXPECT_GE(client.right, box + text.cx) << where;
    EXPECT_GE(client.bottom, text.cy) << where;
}

// Settings in memory; the language files are read from the source tree through the same store.
class SplitFiles final : public TextFiles
{
public:
    explicit SplitFiles(MemoryTextFiles& memory)
        : m_memory(memory)
    {
    }
    Result<std::optional<std::string>> readAll(const std::string& path) override
    {
        return path.starts_with("/prog/") ? m_memory.readAll(path) : m_sourceTree.readAll(path);
    }
    Status replaceAll(const std::string& path, const std::string& content) override
    {
        return m_memory.replaceAll(path, content);
    }

private:
    MemoryTextFiles& m_memory;
    SourceTreeFiles m_sourceTree;
};

class Win32Window : public ::testing::TestWithParam<const char*>
{
protected:
    Win32Window()
    {
        window.setEvents(&controller);
        applyDesign(window);
        files.addFolder("/src");
        files.addFolder("/dst");
        settings.files["/prog/Carrovex.ini"]
            = std::string("[Options]\nFrom=/src\nTo=/dst\nShowLog=1\nLanguage=") + GetParam() + "\n";
    }

    void load()
    {
        Form_Load(form, {"/prog", {"/prog/lang"}}, "");
        ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + GetParam() + ".dat";
        LoadLanguage(form);
    }

    // The client area's height in twips.
    double clientHeight()
    {
        RECT client {};
        ::GetClientRect(window.handle(), &client);
        return client.bottom * window.twipsPerPixelY();
    }

    MemoryTextFiles settings;
    SplitFiles textFiles {settings};
    IniStore ini {textFiles};
    FakeFileSystem files;
    FakeDriveTable drives;
    FixedClock clock;
    FixedNumberFormat numbers;
    win32::Win32MainWindow window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller {form};
};

TEST_P(Win32Window, EveryTextOfTheMainWindowIsWhole)
{
    load();
    for (const Control control : {Control::SourceLabel,
             Control::DestinationLabel,
             Control::IntervalLabel,
             Control::LogLabel,
             Control::Move,
             Control::Copy,
             Control::ShowLog,
             Control::Overwrite,
             Control::Settings,
             Control::StartStop,
             Control::Quit}) {
        expectWholeTextVisible(window.control(control), window.text(control));
    }
    // The run's Cancel text and the Stop text fit the same button.
    for (const int key : {11, 32}) {
        window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
        expectWholeTextVisible(window.control(Control::StartStop), form.texts[static_cast<std::size_t>(key)]);
    }
}

TEST_P(Win32Window, EveryTextOfTheOptionsDialogIsWhole)
{
    load();
    int checked = 0;
    window.showOptionsDialog([&](OptionsDialog& shown) {
        auto& dialog = static_cast<win32::Win32OptionsDialog&>(shown);
        return std::make_unique<DialogScript>([&] {
            LoadLanguage(dialog, ini);
            for (const DialogControl control : {DialogControl::LanguageLabel,
                     DialogControl::SaveOnClose,
                     DialogControl::AskBeforeSaving,
                     DialogControl::RunOnStart,
                     DialogControl::SendToTray,
                     DialogControl::About,
                     DialogControl::Cancel,
                     DialogControl::Save}) {
                expectWholeTextVisible(dialog.control(control), dialog.text(control));
                ++checked;
            }
            dialog.close();
        });
    });
    EXPECT_EQ(checked, 8);
}

TEST_P(Win32Window, LogPaneLayoutsDifferBy1020TwipsAndTheClientAreaIsAsDesigned)
{
    load();
    const double tolerance = window.twipsPerPixelY();
    EXPECT_NEAR(clientHeight(), 3690, tolerance);
    RECT client {};
    ::GetClientRect(window.handle(), &client);
    EXPECT_NEAR(client.right * window.twipsPerPixelX(), 6030, tolerance);

    window.setValue(Control::ShowLog, 0);

    EXPECT_NEAR(clientHeight(), 3690 - 1020, tolerance);
    EXPECT_FALSE(::IsWindowVisible(window.control(Control::Log)));
    EXPECT_FALSE(::IsWindowVisible(window.control(Control::LogLabel)));
    for (const Control button : {Control::Settings, Control::StartStop, Control::Quit}) {
        // 2190 on the panel, which lies 30 twips above the client area's top.
        EXPECT_NEAR(placeOf(window.control(button)).top * window.twipsPerPixelY(), 2160, tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, Win32Window, ::testing::Values("Deutsch", "English"));

} // namespace

} // namespace carrovex::testing
