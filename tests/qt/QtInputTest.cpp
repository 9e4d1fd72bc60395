#include "platform/common/BackgroundFileSystem.h"
#include "platform/qt/EventsDuring.h"
#include "platform/qt/QtOptionsDialog.h"
#include "tests/console/ProgramRun.h"
#include "tests/qt/QtFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gmock/gmock.h>
#include <qpa/qwindowsysteminterface.h>
#include <thread>

namespace carrovex::testing
{

namespace
{

using namespace std::chrono_literals;

// The files in memory (a FakeFileSystem the fixture puts behind it).
class SlowFiles : public FileSystem
{
public:
    MOCK_METHOD(std::string, joinPath, (const std::string&, const std::string&), (const, override));
    MOCK_METHOD(Result<std::vector<std::string>>, listPlainFiles, (const std::string&), (override));
    MOCK_METHOD(bool, folderExists, (const std::string&), (override));
    MOCK_METHOD(Result<bool>, fileExists, (const std::string&), (override));
    MOCK_METHOD(Result<bool>, sameFile, (const std::string&, const std::string&), (override));
    MOCK_METHOD(Result<std::int64_t>, fileLength, (const std::string&), (override));
    MOCK_METHOD(Result<bool>, sameContent, (const std::string&, const std::string&), (override));
    MOCK_METHOD(void, beginRun, (const std::string&), (override));
    MOCK_METHOD(Status, startTransfer, (const std::string&, const std::string&, Transfer), (override));
    MOCK_METHOD(bool, batchDue, (), (override));
    MOCK_METHOD(std::vector<Placed>, completeBatch, (), (override));
};

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
        using ::testing::Invoke;
        ON_CALL(slow, joinPath).WillByDefault(Invoke(&files, &FakeFileSystem::joinPath));
        ON_CALL(slow, listPlainFiles).WillByDefault(Invoke(&files, &FakeFileSystem::listPlainFiles));
        ON_CALL(slow, folderExists).WillByDefault(Invoke(&files, &FakeFileSystem::folderExists));
        ON_CALL(slow, fileExists).WillByDefault(Invoke(&files, &FakeFileSystem::fileExists));
        ON_CALL(slow, sameFile).WillByDefault(Invoke(&files, &FakeFileSystem::sameFile));
        ON_CALL(slow, fileLength).WillByDefault(Invoke(&files, &FakeFileSystem::fileLength));
        ON_CALL(slow, sameContent).WillByDefault(Invoke(&files, &FakeFileSystem::sameContent));
        ON_CALL(slow, batchDue).WillByDefault(Invoke(&files, &FakeFileSystem::batchDue));
        ON_CALL(slow, completeBatch).WillByDefault(Invoke(&files, &FakeFileSystem::completeBatch));
        // A copy goes on until the test lets it end, as a large file on a slow disk does.
        ON_CALL(slow, startTransfer)
            .WillByDefault([this](const std::string& from, const std::string& to, Transfer how) {
                const auto giveUp = std::chrono::steady_clock::now() + 20s; // a test that fails must still end
                while (!copyMayEnd && std::chrono::steady_clock::now() < giveUp) {
                    std::this_thread::sleep_for(5ms);
                }
                return files.startTransfer(from, to, how);
            });
        files.addFolder("/src");
        files.addFolder("/dst");
        files.addFile("/src/big.iso", 1);
        program.drives.setDrive("/src", "/");
        program.drives.setDrive("/dst", "/");
        program.drives.setFree("/", std::uint64_t {1} << 30);
        program.settings.files["/prog/Carrovex.ini"] += "Interval=1\n";
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
    ::testing::NiceMock<SlowFiles> slow;
    BackgroundFileSystem background {slow, qt::runEventsDuring};
    QtProgram program {"English", background};
};

TEST_F(QtInput, ClicksDuringALongCopyAreAnsweredAtOnceAndNeverReplayedLater)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window));
    program.controller.clicked(Control::StartStop);
    QWidget* cancel = program.window.widget(Control::StartStop);
    QTimer::singleShot(200ms, [&] {
        clickLikeAUser(program.window.widget(Control::Quit)); // greyed out: must do nothing, ever
        clickLikeAUser(cancel);
        QTimer::singleShot(100ms, [&] {
            EXPECT_FALSE(cancel->isEnabled()) << "the Cancel click was not taken while the file was copied";
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

TEST(QtProgramRun, HelpAndVersionNeedNoDisplay)
{
    ProgramRun help({"--help"}, {"DISPLAY=", "QT_QPA_PLATFORM="}, ProgramRun::Input::Nothing, CARROVEX_WINDOW);
    EXPECT_EQ(help.wait(), 0);
    EXPECT_THAT(help.lines(), ::testing::Contains(::testing::StartsWith("Usage: carrovex [/s]")));

    ProgramRun version({"--version"}, {"DISPLAY=", "QT_QPA_PLATFORM="}, ProgramRun::Input::Nothing, CARROVEX_WINDOW);
    EXPECT_EQ(version.wait(), 0);
    EXPECT_THAT(version.lines(), ::testing::ElementsAre(::testing::MatchesRegex("carrovex [0-9]+\\.[0-9]+.*")));
}

} // namespace

} // namespace carrovex::testing
