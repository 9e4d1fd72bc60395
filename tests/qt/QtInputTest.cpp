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

// The files in memory; a copy goes on until the test lets it end, as a large file on a slow disk does.
class SlowFiles final : public FileSystem
{
public:
    std::atomic<bool> copyMayEnd {false};

    explicit SlowFiles(FakeFileSystem& files)
        : m_files(files)
    {
    }
    std::string joinPath(const std::string& folder, const std::string& name) const override
    {
        return m_files.joinPath(folder, name);
    }
    Result<std::vector<std::string>> listPlainFiles(const std::string& folder) override
    {
        return m_files.listPlainFiles(folder);
    }
    bool folderExists(const std::string& path) override
    {
        return m_files.folderExists(path);
    }
    Result<bool> fileExists(const std::string& path) override
    {
        return m_files.fileExists(path);
    }
    Result<bool> sameFile(const std::string& first, const std::string& second) override
    {
        return m_files.sameFile(first, second);
    }
    Result<std::int64_t> fileLength(const std::string& path) override
    {
        return m_files.fileLength(path);
    }
    Result<bool> sameContent(const std::string& first, const std::string& second) override
    {
        return m_files.sameContent(first, second);
    }
    Status startTransfer(const std::string& source, const std::string& destination, Transfer how) override
    {
        const auto giveUp = std::chrono::steady_clock::now() + 20s; // a test that fails must still end
        while (!copyMayEnd && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(5ms);
        }
        return m_files.startTransfer(source, destination, how);
    }
    bool batchDue() override
    {
        return m_files.batchDue();
    }
    std::vector<Status> completeBatch() override
    {
        return m_files.completeBatch();
    }

private:
    FakeFileSystem& m_files;
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
    SlowFiles slow {files};
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
            QTimer::singleShot(100ms, [&] { slow.copyMayEnd = true; });
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
