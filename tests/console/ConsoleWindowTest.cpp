#include "platform/console/ConsoleWindow.h"

#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/posix/PosixTerminal.h"
#include "schedule/RunScheduler.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NumberedTexts.h"
#include "window/MainWindowController.h"

#include <cstdio>
#include <gmock/gmock.h>
#include <thread>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

constexpr std::chrono::milliseconds tickPeriod {10};
constexpr std::chrono::milliseconds signalPeriod {10};

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

    // What a reader of the log has received so far, a line each (not what waits in the window's buffer).
    std::vector<std::string> printed() const
    {
        std::vector<std::string> lines;
        std::string line;
        for (const std::string& written : writes) {
            for (const char c : written) {
                if (c == '\n') {
                    lines.push_back(line);
                    line.clear();
                } else {
                    line += c;
                }
            }
        }
        return lines;
    }

    // The log keeps each write that reaches its reader.
    static std::FILE* openLog(std::vector<std::string>& writes)
    {
        const cookie_io_functions_t functions {nullptr,
            [](void* cookie, const char* data, std::size_t size) -> ssize_t {
                static_cast<std::vector<std::string>*>(cookie)->emplace_back(data, size);
                return static_cast<ssize_t>(size);
            },
            nullptr,
            nullptr};
        return ::fopencookie(&writes, "w", functions);
    }

    posix::PosixTerminal terminal;
    std::vector<std::string> writes;
    std::FILE* log = openLog(writes);
    ConsoleWindow window {log, terminal, tickPeriod, signalPeriod};
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

// Arrivals one wake each, as fast as the terminal can tell them; then the deadlines of the next few seconds
// waited out, and a stop at the first deadline after that.
class ArrivingTerminal final : public Terminal
{
public:
    explicit ArrivingTerminal(int arrivals)
        : m_arrivals(arrivals)
    {
    }

    Wake wait(std::optional<TimePoint> deadline) override
    {
        if (m_arrivals > 0) {
            --m_arrivals;
            return Wake::Arrival;
        }
        if (!deadline || *deadline > std::chrono::steady_clock::now() + std::chrono::seconds(5)) {
            return Wake::Stop;
        }
        std::this_thread::sleep_until(*deadline);
        return Wake::Deadline;
    }
    Status watchArrivals(const std::string&) override
    {
        return {};
    }
    bool stopTaken() override
    {
        return false;
    }
    int stopStatus() const override
    {
        return 0;
    }
    bool askYesNo(const std::string&) override
    {
        return false;
    }

private:
    int m_arrivals;
};

TEST(ConsoleWindowArrivals, ABurstOfFilesBringsOneRunOnceTheFolderIsQuiet)
{
    FakePlatform platform;
    platform.textFiles.files["/prog/Carrovex.ini"] = "[Options]\nRunOnArrival=1\n";
    platform.files.addFile("/src/a", 1);
    ArrivingTerminal terminal(1000);
    std::FILE* log = std::fopen("/dev/null", "w");
    ConsoleWindow window(log, terminal, std::chrono::hours(1), signalPeriod, std::chrono::milliseconds(50));
    MainForm form {window,
        platform.files,
        platform.drives,
        platform.clock,
        platform.ini,
        platform.numbers,
        {},
        numberedTexts(),
        {},
        {}};
    MainWindowController controller {form};
    window.setEvents(&controller);
    window.setText(Control::SourceFolder, "/src");
    window.setText(Control::DestinationFolder, "/dst");
    window.setValue(Control::Move, 1);
    window.click(Control::StartStop);

    window.runUntilClosed();
    std::fclose(log);

    EXPECT_THAT(std::vector<std::string>(window.lines().begin(), window.lines().end()),
        ElementsAre(std::string(stamp) + "t33", std::string(stamp) + "t26: a"));
}

} // namespace

} // namespace carrovex::testing
