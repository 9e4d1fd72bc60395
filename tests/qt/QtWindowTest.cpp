#include "form/MainForm.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/qt/BackgroundFileSystem.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtOptionsDialog.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace carrovex::testing
{

namespace
{

// The whole text of a label, option, check box or button is visible in the room it was given.
void expectWholeTextVisible(QWidget* widget, const std::string& where)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* label = qobject_cast<QLabel*>(widget)) {
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text())) << where;
        EXPECT_GE(label->height(), metrics.height()) << where;
    } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const int needed = qobject_cast<const QPushButton*>(widget) != nullptr ? metrics.horizontalAdvance(text)
                                                                               : button->sizeHint().width();
        EXPECT_GE(button->width(), needed) << where;
        EXPECT_GE(button->height(), metrics.height()) << where;
    }
}

// The real window with the shipped languages, on the offscreen platform.
class QtWindow : public ::testing::TestWithParam<const char*>
{
protected:
    QtWindow()
    {
        ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + GetParam() + ".dat";
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
        // The languages come from the source tree, whatever the program folder says.
        ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + GetParam() + ".dat";
        LoadLanguage(form);
    }

    // Settings in memory; the language files are read from the disk through the same store.
    class SplitFiles final : public TextFiles
    {
    public:
        SplitFiles(MemoryTextFiles& memory)
            : m_memory(memory)
        {
        }
        Result<std::optional<std::string>> readAll(const std::string& path) override
        {
            return path.starts_with("/prog/") ? m_memory.readAll(path) : m_disk.readAll(path);
        }
        Status replaceAll(const std::string& path, const std::string& content) override
        {
            return m_memory.replaceAll(path, content);
        }

    private:
        MemoryTextFiles& m_memory;
        posix::PosixTextFiles m_disk;
    };

    MemoryTextFiles settings;
    SplitFiles textFiles {settings};
    IniStore ini {textFiles};
    FakeFileSystem files;
    FakeDriveTable drives;
    FixedClock clock;
    FixedNumberFormat numbers;
    qt::QtMainWindow window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller {form};
};

TEST_P(QtWindow, EveryTextOfTheMainWindowIsWhole)
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
             Control::Quit,
             Control::BrowseSource,
             Control::BrowseDestination}) {
        expectWholeTextVisible(window.widget(control), window.text(control));
    }
    // The run's Cancel text and the Stop text fit the same button.
    for (const int key : {11, 32}) {
        window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
        expectWholeTextVisible(window.widget(Control::StartStop), form.texts[static_cast<std::size_t>(key)]);
    }
}

TEST_P(QtWindow, EveryTextOfTheOptionsDialogIsWhole)
{
    load();
    qt::QtOptionsDialog dialog(&window);
    LoadLanguage(dialog, ini);
    for (const DialogControl control : {DialogControl::LanguageLabel,
             DialogControl::SaveOnClose,
             DialogControl::AskBeforeSaving,
             DialogControl::RunOnStart,
             DialogControl::Cancel,
             DialogControl::Save}) {
        expectWholeTextVisible(dialog.widget(control), dialog.text(control));
    }
}

TEST_P(QtWindow, LogPaneLayoutsDifferBy1020Twips)
{
    load();
    const int tall = window.height();
    window.setValue(Control::ShowLog, 0);
    const int shortHeight = window.height();
    EXPECT_NEAR((tall - shortHeight) * window.twipsPerPixelY(), 1020, window.twipsPerPixelY());
    EXPECT_FALSE(window.widget(Control::Log)->isVisibleTo(&window));
    EXPECT_NEAR(window.widget(Control::Quit)->y() * window.twipsPerPixelY(), 2190, window.twipsPerPixelY());
}

INSTANTIATE_TEST_SUITE_P(Languages, QtWindow, ::testing::Values("Deutsch", "English"));

TEST(QtWindowEvents, TextsAndCheckBoxesRaiseTheirEventsAndTheLogStaysCapped)
{
    struct Recorder final : MainWindowEvents {
        std::vector<std::string> seen;
        void changed(Control) override
        {
            seen.push_back("changed");
        }
        void clicked(Control) override
        {
            seen.push_back("clicked");
        }
        void validate(Control) override
        {
        }
        void timerTicked() override
        {
        }
        void mouseMoved(Control, int, double, double) override
        {
        }
        void resized() override
        {
        }
        bool closeRequested() override
        {
            return true;
        }
    } recorder;
    qt::QtMainWindow window;
    window.setEvents(&recorder);

    window.setText(Control::SourceFolder, "/a");
    window.setText(Control::SourceFolder, "/a");
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Overwrite, 1);
    EXPECT_EQ(recorder.seen, (std::vector<std::string> {"changed", "clicked"}));

    for (int i = 0; i < 100'010; ++i) {
        window.appendLine(std::to_string(i));
    }
    window.removeLastLine();
    EXPECT_EQ(window.lineCount(), 99'999);
    EXPECT_EQ(window.lineText(0), "10");
    window.selectLine(window.lineCount() - 1);
    EXPECT_EQ(static_cast<qt::LogView*>(window.widget(Control::Log))->selected(), 99'998);
}

// A copy that takes half a second.
class SlowCopy final : public FileSystem
{
public:
    std::string joinPath(const std::string& folder, const std::string& name) const override
    {
        return folder + "/" + name;
    }
    Result<std::vector<std::string>> listPlainFiles(const std::string&) override
    {
        return std::vector<std::string> {};
    }
    bool folderExists(const std::string&) override
    {
        return true;
    }
    Result<bool> fileExists(const std::string&) override
    {
        return false;
    }
    Result<bool> sameFile(const std::string&, const std::string&) override
    {
        return false;
    }
    Result<std::int64_t> fileLength(const std::string&) override
    {
        return std::int64_t {0};
    }
    Status copyFile(const std::string&, const std::string&) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return {};
    }
    Status moveFile(const std::string&, const std::string&, bool) override
    {
        return {};
    }
    std::vector<PathFailure> finishRun() override
    {
        return {};
    }
};

TEST(QtBackgroundFiles, WindowKeepsTickingDuringALongCopy)
{
    SlowCopy slow;
    qt::BackgroundFileSystem files(slow);
    bool ticked = false;
    QTimer::singleShot(50, [&] { ticked = true; });

    const Status copied = files.copyFile("/a", "/b");

    EXPECT_TRUE(copied.ok());
    EXPECT_TRUE(ticked) << "the window thread processed no events during the copy";
}

} // namespace

} // namespace carrovex::testing

int main(int argc, char** argv)
{
    // Before the application object exists: test discovery runs this without the test's environment.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
