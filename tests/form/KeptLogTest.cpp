#include "form/KeptLog.h"

#include "form/LogFile.h"
#include "tests/engine/RunLines.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace carrovex::testing
{

namespace
{

constexpr const char* logPath = "/state/Carrovex.log";

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The program started with its log file kept in /state, as the window programs keep it.
class KeptLogTest : public SchedulerFixture
{
protected:
    void startKeeping()
    {
        load();
        restoreLog(form, logFile);
        keepLog(form, kept);
    }

    std::vector<std::string> fileLines()
    {
        return linesOf(textFiles.files[logPath]);
    }

    LogFile logFile {textFiles, textFiles, logPath};
    KeptLog kept {form, logFile, [this](const std::string& text) { reportInLog(form, text); }};
};

TEST_F(KeptLogTest, HoldsEveryFinalLineAsItComesAndNoLineInHand)
{
    for (const char* name : {"a", "b", "c", "d"}) {
        files.addFile(std::string("/src/") + name, 10);
    }
    files.failCall(FakeFileSystem::Call::Start, 2, "Disk on fire");
    settings("From=/src\nTo=/dst\nAction=Move\nInterval=1\nDoActionOnStart=1\n");
    startKeeping();
    // While the run goes on, the file lacks at most the line in hand, which the run may still replace.
    int looks = 0;
    window.onProcessEvents([&] {
        ++looks;
        const std::vector<std::string> file = fileLines();
        const auto& shown = window.lines();
        ASSERT_LE(file.size(), shown.size());
        ASSERT_GE(file.size() + 1, shown.size());
        EXPECT_THAT(file, ElementsAreArray(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(file.size())));
    });

    window.click(Control::StartStop);
    EXPECT_THAT(fileLines(), ElementsAreArray(window.lines())); // the run's last line too, once it has returned
    files.addFile("/src/e", 10);
    window.post([&] { window.click(Control::StartStop); }); // Cancel, after the first file
    ticks(1);
    window.click(Control::StartStop); // Stop

    EXPECT_GT(looks, 4);
    EXPECT_EQ(linesWith(window.lines(), "Disk on fire"), 1);
    EXPECT_EQ(linesWith(window.lines(), "t31"), 1); // the cancel line, which bears no stamp
    EXPECT_THAT(fileLines(), ElementsAreArray(window.lines()));
}

TEST_F(KeptLogTest, ALogFileThatCannotBeWrittenIsReportedOnceAfterTheRunAndTheRunGoesOn)
{
    files.onTransfer([&] { textFiles.unwritable.insert(logPath); });
    for (const char* name : {"a", "b", "c"}) {
        files.addFile(std::string("/src/") + name, 10);
    }
    settings("From=/src\nTo=/dst\nAction=Move\nInterval=1\nDoActionOnStart=1\n");
    startKeeping();

    window.click(Control::StartStop);
    files.addFile("/src/d", 10);
    ticks(1);

    for (const char* name : {"a", "b", "c", "d"}) {
        EXPECT_TRUE(files.hasFile(std::string("/dst/") + name)) << name;
    }
    EXPECT_EQ(
        linesWith(window.lines(), "t35: The log file /state/Carrovex.log cannot be written: Permission denied"), 1);
    // Not in the middle of the run's lines: after its last, a file's line.
    const auto& shown = window.lines();
    const auto report = std::find_if(
        shown.begin(), shown.end(), [](const std::string& line) { return line.find("log file") != std::string::npos; });
    ASSERT_NE(report, shown.begin());
    EXPECT_THAT(*(report - 1), HasSubstr(": c"));
    EXPECT_THAT(fileLines(), ElementsAreArray({window.lines()[0]})); // the Start line, before the failure
}

TEST_F(KeptLogTest, TheLastLinesShowAgainAfterARestartAndAreNotKeptTwice)
{
    std::string older;
    std::string newer;
    for (int line = 1; line <= 150; ++line) {
        older += "old " + std::to_string(line) + "\n";
        newer += "new " + std::to_string(line) + "\n";
    }
    textFiles.files[std::string(logPath) + ".1"] = older;
    textFiles.files[logPath] = newer + "cut short"; // a kill in the middle of a line
    startKeeping();
    window.click(Control::StartStop);

    ASSERT_EQ(window.lines().size(), 201U);
    EXPECT_EQ(window.lines()[0], "old 102");
    EXPECT_EQ(window.lines()[48], "old 150");
    EXPECT_EQ(window.lines()[49], "new 1");
    EXPECT_EQ(window.lines()[199], "cut short");
    EXPECT_EQ(window.selectedLine(), 200);
    EXPECT_EQ(textFiles.files[logPath], newer + "cut short\n" + window.lines()[200] + "\n");
}

TEST_F(KeptLogTest, OpenLogFileOpensTheKeptFileOrSaysWhyNot)
{
    startKeeping();
    window.click(Control::OpenLogFile);
    EXPECT_THAT(window.openedFiles(), ElementsAreArray({logPath}));

    window.refuseToOpenFiles();
    window.click(Control::OpenLogFile);
    EXPECT_THAT(window.messages(),
        ElementsAreArray({"Carrovex Lite - t36: The log file /state/Carrovex.log could not be opened"}));
}

TEST(LogFile, RotatesAtItsLimitKeepingThreeOlderFilesAndEveryLineInOrder)
{
    MemoryTextFiles files;
    LogFile log(files, files, "/log", 20, 3);
    std::vector<std::string> written;
    for (int line = 1; line <= 30; ++line) {
        written.push_back("line " + std::to_string(line)); // 7 or 8 bytes with its line end
        ASSERT_TRUE(log.add(written.back()).ok()) << line;
    }

    std::vector<std::string> kept;
    for (const char* name : {"/log.3", "/log.2", "/log.1", "/log"}) {
        ASSERT_TRUE(files.files.contains(name)) << name;
        EXPECT_LE(files.files[name].size(), 20U) << name;
        for (const std::string& line : linesOf(files.files[name])) {
            kept.push_back(line);
        }
    }
    EXPECT_FALSE(files.files.contains("/log.4"));
    EXPECT_THAT(kept, ElementsAreArray(written.end() - static_cast<std::ptrdiff_t>(kept.size()), written.end()));
    EXPECT_GE(kept.size(), 8U);
    EXPECT_THAT(log.lastLines(7), ElementsAreArray(written.end() - 7, written.end()));
}

} // namespace

} // namespace carrovex::testing
