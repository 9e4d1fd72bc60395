#include "platform/console/ConsoleWindow.h"

#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/console/Terminal.h"
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

// The logic on the console window, copying from /src to /dst in memory; the minute never ends, and files
// arrive in a burst once the window waits.
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
        for (std::size_t start = 0, end; (end = written.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(written.substr(start, end - start));
        }
        return lines;
    }

    // The log keeps what reaches its reader.
    static std::FILE* openLog(std::string& written)
    {
        const cookie_io_functions_t functions {nullptr,
            [](void* cookie, const char* data, std::size_t size) -> ssize_t {
                static_cast<std::string*>(cookie)->append(data, size);
                return static_cast<ssize_t>(size);
            },
            nullptr,
            nullptr};
        return ::fopencookie(&written, "w", functions);
    }

    ArrivingTerminal terminal {1000};
    std::string written;
    std::FILE* log = openLog(written);
    ConsoleWindow window {
        log, terminal, std::chrono::hours(1), std::chrono::milliseconds(10), std::chrono::milliseconds(50)};
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

TEST_F(ConsoleWindowTest, ABurstOfFilesBringsOneRunOnceTheFolderIsQuiet)
{
    textFiles.files["/prog/Carrovex.ini"] = "[Options]\nRunOnArrival=1\n";
    files.addFile("/src/a", 1);
    window.setValue(Control::Copy, 0);
    window.setValue(Control::Move, 1);
    window.click(Control::StartStop);

    window.runUntilClosed();

    EXPECT_THAT(std::vector<std::string>(window.lines().begin(), window.lines().end()),
        ElementsAre(std::string(stamp) + "t33", std::string(stamp) + "t26: a"));
}

} // namespace

} // namespace carrovex::testing
