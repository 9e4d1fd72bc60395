#include "platform/common/BackgroundFileSystem.h"
#include "platform/qt/EventsDuring.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtOptionsDialog.h"
#include "tests/ProgramWindow.h"
#include "tests/console/ConsoleFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <qpa/qwindowsysteminterface.h>
#include <thread>

namespace carrovex::testing
{

namespace
{

using namespace std::chrono_literals;

// A click as the window system delivers it: queued with the user's other input, not sent at once.
void clickLikeAUser(QWidget* button)
{
    QWindow* window = button->window()->windowHandle();
    const QPointF local = button->mapTo(button->window(), button->rect().center());
    const QPointF global = button->mapToGlobal(button->rect().center());
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(window,
            local,
            global,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
            Qt::LeftButton,
            type);
    }
}

class QtInput : public ::testing::Test
{
protected:
    QtInput()
    {
        // A copy goes on until the test lets it end, as a large file on a slow disk does.
        files.onTransfer([this] {
            const auto giveUp = std::chrono::steady_clock::now() + 20s; // a test that fails must still end
            while (!copyMayEnd && std::chrono::steady_clock::now() < giveUp) {
                files.reportStaged(std::int64_t {1} << 29, std::int64_t {1} << 30); // on the copy's thread
                std::this_thread::sleep_for(5ms);
            }
        });
        files.addFolder("/src");
        files.addFolder("/dst");
        files.addFile("/src/big.iso", 1);
        program.textFiles.files["/prog/Carrovex.ini"] += "Interval=1\n";
        program.load();
        program.window.show();
    }

    ~QtInput() override
    {
        if (QWidget* open = QApplication::activeModalWidget()) {
            open->close();
        }
    }

    FakeFileSystem files;
    std::atomic<bool> copyMayEnd {false};
    BackgroundFileSystem background {files, qt::runEventsDuring};
    ProgramWindow<qt::QtMainWindow> program {"English", &background};
};

TEST_F(QtInput, ALongCopyShowsItsProgressAndAnswersClicksAtOnceNeverLater)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window));
    program.controller.clicked(Control::StartStop);
    QWidget* cancel = program.window.widget(Control::StartStop);
    // The copy's progress is shown once a second, while the file is copied.
    QTimer::singleShot(1300ms, [&] {
        EXPECT_EQ(program.window.lineText(program.window.lineCount() - 1), "Copying: big.iso - 50 %, 512 of 1024 MiB");
        clickLikeAUser(program.window.widget(Control::Quit)); // greyed out: must do nothing, ever
        clickLikeAUser(cancel);
        QTimer::singleShot(100ms, [&] {
            EXPECT_FALSE(cancel->isEnabled()) << "the Cancel click was not taken while the file was copied";
            EXPECT_THAT(
                program.window.windowTitle().toStdString(), ::testing::EndsWith(" - stopping after the file in hand"));
            clickLikeAUser(program.window.widget(Control::Settings));
            QTimer::singleShot(100ms, [&] { copyMayEnd = true; });
        });
    });
    // Should the dialog open only after the run, a test that fails must still end.
    QTimer::singleShot(30s, [] {
        if (QWidget* open = QApplication::activeModalWidget()) {
            open->close();
        }
    });

    program.controller.timerTicked(); // the tick that starts the run
    const bool dialogOpenAfterTheRun = program.window.findChild<qt::QtOptionsDialog*>() != nullptr;
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(); // whatever input might still wait
    }

    EXPECT_TRUE(program.window.isVisible()); // the Quit click never came through
    EXPECT_TRUE(program.form.state.running);
    EXPECT_THAT(
        program.window.lineText(program.window.lineCount() - 1), ::testing::StartsWith("Cancelled: Copied 1 file"));
    EXPECT_TRUE(files.hasFile("/dst/big.iso"));
    EXPECT_TRUE(dialogOpenAfterTheRun) << "the dialog did not open while the run went on";
}

// Built, the program lies in the portable layout: its settings and languages beside it, as both say.
TEST(QtProgramRun, HelpAndVersionNeedNoDisplayAndNameTheFoldersInUse)
{
    const std::string program = std::filesystem::path(CARROVEX_WINDOW).parent_path();
    ProgramRun help({"--help"}, {"DISPLAY=", "QT_QPA_PLATFORM="}, ProgramRun::Input::Nothing, CARROVEX_WINDOW);
    EXPECT_EQ(help.wait(), 0);
    EXPECT_THAT(help.lines(), ::testing::Contains(::testing::StartsWith("Usage: carrovex [/s]")));
    EXPECT_THAT(help.lines(), ::testing::Not(::testing::Contains(::testing::HasSubstr("beside the program"))));
    EXPECT_THAT(help.lines(), ::testing::Contains("Settings file:    " + program + "/Carrovex.ini"));

    ProgramRun version({"--version"}, {"DISPLAY=", "QT_QPA_PLATFORM="}, ProgramRun::Input::Nothing, CARROVEX_WINDOW);
    EXPECT_EQ(version.wait(), 0);
    EXPECT_THAT(version.lines(),
        ::testing::ElementsAre(::testing::MatchesRegex("carrovex [0-9]+\\.[0-9]+.*"),
            "Settings file:    " + program + "/Carrovex.ini",
            "Language folders: " + program + "/lang"));
}

// The window program from a folder of its own (the portable layout) with the shipped English.
class QtPortableProgram : public ConsoleProgram
{
protected:
    QtPortableProgram()
    {
        std::filesystem::copy_file(CARROVEX_WINDOW, pair.settings + "/carrovex");
        std::filesystem::copy_file(
            std::string(CARROVEX_SOURCE_DIR) + "/lang/English.dat", temp.folder("pair/lang") + "/English.dat");
    }

    // Starts the program with /s and sends it the signal once the check holds, or after 30 seconds; whether
    // the check held, and the program's exit status.
    std::pair<bool, int> runUntil(const std::function<bool()>& check, int signal = SIGKILL)
    {
        ProgramRun run(
            {"/s"}, {"QT_QPA_PLATFORM=offscreen", "LC_ALL=C"}, ProgramRun::Input::Nothing, pair.settings + "/carrovex");
        const bool held = within(check);
        run.signal(signal);
        return {held, run.wait()};
    }

    std::string log = pair.settings + "/Carrovex.log";
};

// Logging out ends the program with SIGTERM: it saves as "Save" says and ends by itself, without the
// question that would keep it waiting for no one.
TEST_F(QtPortableProgram, EndOfTheSessionSavesWithoutAskingAndEnds)
{
    writeFile(pair.source + "/a.txt", "a");
    pair.store("Action=Copy\nDoActionOnStart=1\nQuestion=1\nSave=1\n");

    const auto [copied, status] = runUntil([&] { return exists(pair.destination + "/a.txt"); }, SIGTERM);

    ASSERT_TRUE(copied); // the window is up
    EXPECT_EQ(status, 0);
    EXPECT_THAT(readFile(pair.settingsFile()), ::testing::HasSubstr("ShowLog="));
}

TEST_F(QtPortableProgram, KeepsEachFinalLineAsItComesBesideItsSettingsAndRunsOnWithoutIt)
{
    pair.store("Action=Move\nInterval=5\nDoActionOnStart=1\nSave=0\n");
    writeFile(pair.source + "/a.txt", "a");
    const bool moved
        = runUntil([&] { return exists(log) && readFile(log).find("Moved: a.txt\n") != std::string::npos; }).first;
    ASSERT_TRUE(moved) << (exists(log) ? readFile(log) : "no log file");
    EXPECT_THAT(readFile(log), ::testing::MatchesRegex(".* - Scheduler started\n.* - Moved: a.txt\n"));

    // A log file that cannot be written (even by root) keeps no file from being moved.
    std::filesystem::remove(log);
    std::filesystem::create_directory(log);
    writeFile(pair.source + "/b.txt", "b");
    EXPECT_TRUE(runUntil([&] { return exists(pair.destination + "/b.txt") && !exists(pair.source + "/b.txt"); }).first);
}

} // namespace

} // namespace carrovex::testing
