#include "platform/console/ConsoleWindow.h"

#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/posix/StopSignals.h"
#include "schedule/RunScheduler.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NumberedTexts.h"
#include "window/MainWindowController.h"

#include <csignal>
#include <cstdio>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

constexpr std::chrono::milliseconds tickPeriod {10};

// The logic on the console window, copying from /src to /dst in memory.
class ConsoleWindowTest : public ::testing::Test, protected FakePlatform
{
protected:
    ConsoleWindowTest()
    {
        window.setEvents(&controller);
        window.setText(Control::SourceFolder, "/src");
        window.setText(Control::DestinationFolder, "/dst");
        window.setValue(Control::Copy, 1);
    }

    ~ConsoleWindowTest() override
    {
        std::fclose(log);
    }

    // What the window printed, a line each.
    std::vector<std::string> printed()
    {
        std::fflush(log);
        std::rewind(log);
        std::vector<std::string> lines;
        std::string line;
        for (int c = std::fgetc(log); c != EOF; c = std::fgetc(log)) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(c);
            }
        }
        std::fseek(log, 0, SEEK_END);
        return lines;
    }

    // Raises SIGTERM at the nth time the logic lets events run.
    void stopAtYield(int n)
    {
        window.onProcessEvents([this, n] {
            if (window.processEventsCalls() == n) {
                std::raise(SIGTERM);
            }
        });
    }

    posix::StopSignals signals;
    std::FILE* log = std::tmpfile();
    ConsoleWindow window {log, signals, tickPeriod};
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
    MainWindowController controller {form};
};

TEST_F(ConsoleWindowTest, PrintsTheFinalLinesOfARunAsSoonAsTheNextOneComes)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    files.failCall(FakeFileSystem::Call::Start, 2, "Permission denied");
    std::vector<std::string> printedBeforeB;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 4) { // while b.txt is handled
            printedBeforeB = printed();
        }
    });

    DoAction(form);
    window.printPendingLine();

    const std::string aLine = std::string(stamp) + "t25: a.txt";
    EXPECT_THAT(printedBeforeB, ElementsAre(aLine));
    EXPECT_THAT(printed(), ElementsAre(aLine, std::string(stamp) + "t35: Permission denied - b.txt"));
    EXPECT_EQ(std::vector<std::string>(window.lines().begin(), window.lines().end()), printed());
}

TEST_F(ConsoleWindowTest, StopSignalDuringARunCancelsItAfterTheFileInHand)
{
    files.addFile("/src/a.txt", 1);
    files.addFile("/src/b.txt", 1);
    stopAtYield(2); // while a.txt is handled

    EXPECT_FALSE(runWhenFree(form));
    window.printPendingLine();

    EXPECT_THAT(printed(), ElementsAre(std::string(stamp) + "t25: a.txt", "t31: t25 1 t29"));
    EXPECT_THAT(files.transfers(), ElementsAre("copy /src/a.txt /dst/a.txt"));
    EXPECT_EQ(signals.signalNumber(), SIGTERM);
}

TEST_F(ConsoleWindowTest, TimerRunsTheSchedulerUntilAStopSignalClosesTheWindow)
{
    textFiles.files["/prog/Carrovex.ini"] = "[Options]\nSave=1\n";
    files.addFile("/src/a.txt", 1);
    form.state.intervalMinutes = 2;
    window.click(Control::StartStop);
    stopAtYield(2);
    const auto started = std::chrono::steady_clock::now();

    window.runUntilClosed();

    EXPECT_GE(std::chrono::steady_clock::now() - started, 2 * tickPeriod);
    EXPECT_THAT(
        printed(), ElementsAre(std::string(stamp) + "t33", std::string(stamp) + "t25: a.txt", "t31: t25 1 t29"));
    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(ini.ReadIniValue("Options", "From", "", iniValueSize), "/src"); // saved as on closing
}

TEST_F(ConsoleWindowTest, StopSignalWhileWaitingClosesAtOnce)
{
    textFiles.files["/prog/Carrovex.ini"] = "[Options]\nQuestion=1\n";
    window.click(Control::StartStop);
    std::raise(SIGTERM);

    window.runUntilClosed();

    EXPECT_TRUE(window.isClosed());
    EXPECT_THAT(printed(), ElementsAre(std::string(stamp) + "t33"));
    EXPECT_EQ(ini.ReadIniValue("Options", "From", "", iniValueSize), ""); // no terminal said Yes
}

} // namespace

} // namespace carrovex::testing
