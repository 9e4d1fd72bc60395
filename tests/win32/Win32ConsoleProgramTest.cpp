#include "platform/win32/SingleInstance.h"
#include "platform/win32/WideText.h"
#include "tests/win32/WinDisk.h"
#include "tests/win32/WinProgramRun.h"

#include <chrono>
#include <gmock/gmock.h>
#include <regex>
#include <thread>
#include <windows.h>

using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::SizeIs;
using ::testing::StartsWith;

// carrovex-console.exe run as a user runs it, with the user's locale English (as the Linux tests run in
// the C locale): the same lines and exit statuses as on Linux.
namespace carrovex::testing
{

namespace
{

// A stamp in the English (United States) formats: "12/7/2026 2:38:50 AM - ".
MATCHER(Stamped, "begins with a stamp")
{
    return std::regex_search(
        arg, std::regex("^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} (AM|PM) - "));
}

// A pair of folders and the settings folder of one scheduled transfer, all on disk.
class FolderPair
{
public:
    explicit FolderPair(const TempFolder& temp)
        : settings(temp.folder("pair"))
        , source(temp.folder("pair-source"))
        , destination(temp.folder("pair-destination"))
    {
    }

    // The options given; for the keys they leave out, the pair's folders and English (the first key wins).
    void store(const std::string& options) const
    {
        writeFile(settingsFile(),
            "[Options]\r\n" + options + "From=" + source + "\r\nTo=" + destination + "\r\nLanguage=English\r\n");
    }

    std::string settingsFile() const
    {
        return settings + "\\Carrovex.ini";
    }

    std::vector<std::string> dir() const
    {
        return {"--dir", settings};
    }

    std::string settings;
    std::string source;
    std::string destination;
};

class ConsoleProgram : public ::testing::Test
{
protected:
    void addSources(int count, std::size_t size)
    {
        for (int index = 0; index < count; ++index) {
            writeFile(pair.source + "\\file " + std::to_string(index) + ".bin",
                std::string(size, static_cast<char>('a' + index)));
        }
    }

    static std::vector<std::string> with(std::vector<std::string> arguments, const std::string& more)
    {
        arguments.push_back(more);
        return arguments;
    }

    TempFolder temp;
    FolderPair pair {temp};
};

TEST_F(ConsoleProgram, OnceCopiesEveryFileAndPrintsOneFinalLineForEach)
{
    pair.store("Action=Copy\r\n");
    writeFile(pair.source + "\\with blank.txt", "1");
    writeFile(pair.source + "\\M\xC3\xA4rz \xE2\x82\xAC.txt", "2");
    writeFile(pair.source + "\\plain.txt", "3");

    ProgramRun run(with(pair.dir(), "--once"));

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), AllOf(SizeIs(3), Each(AllOf(Stamped(), HasSubstr("- Copied: ")))));
    EXPECT_THAT(run.lines(), ::testing::Contains(HasSubstr("Copied: M\xC3\xA4rz \xE2\x82\xAC.txt")));
    EXPECT_EQ(readFile(pair.destination + "\\M\xC3\xA4rz \xE2\x82\xAC.txt"), "2");
    EXPECT_EQ(entriesOf(pair.source), entriesOf(pair.destination));
    EXPECT_EQ(run.errors(), "");
}

TEST_F(ConsoleProgram, OnceMovesEveryFile)
{
    pair.store("Action=Move\r\n");
    addSources(3, 100);

    ProgramRun run(with(pair.dir(), "--once"));

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), AllOf(SizeIs(3), Each(AllOf(Stamped(), HasSubstr("- Moved: file ")))));
    EXPECT_EQ(entriesOf(pair.source), "");
    EXPECT_EQ(readFile(pair.destination + "\\file 2.bin"), std::string(100, 'c'));
}

TEST_F(ConsoleProgram, OnceWithNothingToDoSaysSoAndSucceeds)
{
    pair.store("Action=Move\r\n");

    ProgramRun run(with(pair.dir(), "--once"));

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre(AllOf(Stamped(), HasSubstr("No files: The source folder holds no files"))));
}

TEST_F(ConsoleProgram, OnceWithAFileInUseExitsWithOneAndHandlesTheOtherFiles)
{
    pair.store("Action=Move\r\n");
    addSources(3, 10);
    // Another program writes it, and lets others read, write and delete it.
    const win32::Handle open(::CreateFileW(win32::widen(pair.source + "\\file 1.bin").c_str(),
        GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        0,
        nullptr));
    ASSERT_TRUE(open.valid());

    ProgramRun run(with(pair.dir(), "--once"));

    EXPECT_EQ(run.wait(), 1) << run.errors();
    EXPECT_THAT(run.lines(), SizeIs(3));
    EXPECT_THAT(run.lines(), ::testing::Contains(AllOf(Stamped(), HasSubstr("Error: "), HasSubstr(" - file 1.bin"))));
    EXPECT_EQ(entriesOf(pair.source), "file 1.bin");
    EXPECT_EQ(entriesOf(pair.destination), "file 0.bin file 2.bin");
}

struct UnusableCase {
    const char* name;
    std::vector<std::string> arguments; // "DIR" stands for the settings folder
    const char* settings; // nothing: no settings file
    const char* says;

    friend void PrintTo(const UnusableCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class ConsoleProgramRefuses : public ConsoleProgram, public ::testing::WithParamInterface<UnusableCase>
{
};

TEST_P(ConsoleProgramRefuses, WithOneLineAndStatusTwo)
{
    const UnusableCase& c = GetParam();
    if (c.settings != nullptr) {
        pair.store(c.settings);
    }
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "DIR" ? pair.settings : argument);
    }
    addSources(1, 10);

    ProgramRun run(arguments);

    EXPECT_EQ(run.wait(), 2);
    EXPECT_THAT(run.errors(), AllOf(StartsWith("carrovex-console: "), HasSubstr(c.says)));
    EXPECT_EQ(std::count(run.errors().begin(), run.errors().end(), '\n'), 1) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre());
    EXPECT_EQ(entriesOf(pair.destination), ""); // nothing was transferred
}

INSTANTIATE_TEST_SUITE_P(Cases,
    ConsoleProgramRefuses,
    ::testing::Values(UnusableCase {"UnknownOption", {"--dir", "DIR", "--fast"}, "", "unknown option '--fast'"},
        UnusableCase {"DirWithoutFolder", {"--once", "--dir"}, "", "--dir needs a folder"},
        UnusableCase {"MissingSettingsFolder",
            {"--dir", "C:\\nonexistent\\carrovex"},
            "",
            "\"C:\\nonexistent\\carrovex\" does not exist"},
        UnusableCase {"NoSettingsFile", {"--once", "--dir", "DIR"}, nullptr, "keine Einstellungsdatei"},
        UnusableCase {"ActionInSmallLetters", {"--once", "--dir", "DIR"}, "Action=copy\r\n", "Action=copy in "},
        UnusableCase {"UnknownActionInTheScheduler", {"--dir", "DIR"}, "Action=Bogus\r\n", "neither Copy nor Move"},
        UnusableCase {"MissingLanguage", {"--once", "--dir", "DIR"}, "Language=Klingon\r\n", "Klingon.dat"},
        UnusableCase {"MissingSourceOnce", {"--once", "--dir", "DIR"}, "From=C:\\nonexistent\\source\r\n", "(From in"},
        UnusableCase {
            "MissingDestinationScheduler", {"--dir", "DIR"}, "To=C:\\nonexistent\\destination\r\n", "(To in"}),
    [](const auto& row) { return std::string(row.param.name); });

int linesWith(const std::vector<std::string>& lines, const std::string& text)
{
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

// Waits up to 30 seconds for the folder to hold something: a transfer has begun.
bool waitForAnEntry(const std::string& folder)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (entriesOf(folder).empty()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Files large enough that the console's event comes in the middle of a run.
constexpr int slowFiles = 8;
constexpr std::size_t slowFileSize = 8 << 20;

BOOL WINAPI ignoreHere(DWORD)
{
    return TRUE; // the event is for the program under test
}

// The console's control events reach every program on the console: these tests run only where there is
// one (CTest runs them under a terminal as win32_console_stop) and ignore the events themselves.
class ConsoleProgramUnderAConsole : public ConsoleProgram
{
protected:
    void SetUp() override
    {
        if (::GetConsoleCP() == 0) {
            GTEST_SKIP() << "needs a console; CTest runs this under a terminal as win32_console_stop";
        }
        ::SetConsoleCtrlHandler(ignoreHere, TRUE);
    }

    void TearDown() override
    {
        ::SetConsoleCtrlHandler(ignoreHere, FALSE);
    }

    // Every file of the destination is a whole copy of its source, and the log has a line for each.
    void expectWholeCopies(const std::vector<std::string>& lines)
    {
        int copied = 0;
        for (int index = 0; index < slowFiles; ++index) {
            const std::string name = "file " + std::to_string(index) + ".bin";
            const std::string content(slowFileSize, static_cast<char>('a' + index));
            if (exists(pair.destination + "\\" + name)) {
                ++copied;
                EXPECT_TRUE(readFile(pair.destination + "\\" + name) == content) << name;
            }
            EXPECT_TRUE(readFile(pair.source + "\\" + name) == content) << name;
        }
        EXPECT_EQ(linesWith(lines, "- Copied: "), copied);
        EXPECT_EQ(entryCount(pair.destination), copied); // no staged copy left
        EXPECT_GE(copied, 1); // the file in hand was completed
        EXPECT_LT(copied, slowFiles); // and the run was cancelled after it
    }
};

TEST_F(ConsoleProgramUnderAConsole, CtrlCDuringOnceReportsTheCancelledRunAsSigintDoes)
{
    pair.store("Action=Copy\r\nSave=1\r\nShowLog=2\r\n");
    addSources(slowFiles, slowFileSize);

    ProgramRun run(with(pair.dir(), "--once"));
    ASSERT_TRUE(waitForAnEntry(pair.destination));
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);

    EXPECT_EQ(run.wait(), 130) << run.errors();
    expectWholeCopies(run.lines());
    EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr("ShowLog=2\r\n")); // a single run saves nothing
}

// Wine 8 cannot make a Ctrl+Break event (GenerateConsoleCtrlEvent fails), so Ctrl+C stands in for it
// here; which status each event gives is ConsoleTerminal's signalNumberFor.
TEST_F(ConsoleProgramUnderAConsole, CtrlCDuringALongScheduledRunCompletesTheFileInHandAndSaves)
{
    pair.store("Action=Copy\r\nDoActionOnStart=1\r\nSave=1\r\nShowLog=2\r\n");
    addSources(slowFiles, slowFileSize);

    ProgramRun run(pair.dir());
    ASSERT_TRUE(waitForAnEntry(pair.destination));
    ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    expectWholeCopies(run.lines());
    EXPECT_THAT(run.lines().front(), AllOf(Stamped(), HasSubstr("Scheduler started")));
    EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr("ShowLog=0\r\n")); // saved as on closing
}

// Waits up to 30 seconds until a program holds the settings folder.
bool waitUntilHeld(const std::string& folder)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (win32::SingleInstance(folder).isFirst()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST_F(ConsoleProgram, SecondProgramOnTheSameSettingsIsRefused)
{
    pair.store("Action=Copy\r\nInterval=60\r\n");
    ProgramRun scheduler(pair.dir());
    ASSERT_TRUE(waitUntilHeld(pair.settings));

    ProgramRun once(with(pair.dir(), "--once"));

    EXPECT_EQ(once.wait(), 2);
    EXPECT_THAT(once.errors(), HasSubstr("Carrovex already runs with the settings in"));
    EXPECT_EQ(scheduler.wait(0), 255); // still running: the test ends it
}

// The window program started as Explorer starts it: no outputs to share with the windows Wine makes for it.
win32::Handle startWindowProgram(const std::wstring& program)
{
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return {};
    }
    ::CloseHandle(process.hThread);
    return win32::Handle(process.hProcess);
}

TEST(WindowProgram, SecondStartOnTheSameSettingsBringsTheFirstForwardAndEnds)
{
    TempFolder temp;
    const std::string program = temp.folder("Carrovex");
    temp.folder("Carrovex\\lang");
    const std::wstring window = win32::widen(program + "\\carrovex.exe");
    ASSERT_TRUE(::CopyFileW(windowProgram().c_str(), window.c_str(), TRUE));
    const std::wstring shipped = windowProgram().substr(0, windowProgram().rfind(L'\\')) + L"\\lang\\English.dat";
    ASSERT_TRUE(::CopyFileW(shipped.c_str(), win32::widen(program + "\\lang\\English.dat").c_str(), TRUE));
    writeFile(program + "\\Carrovex.ini", "[Options]\r\nLanguage=English\r\nSave=0\r\n");

    const win32::Handle first = startWindowProgram(window);
    ASSERT_TRUE(waitUntilHeld(program));
    const win32::Handle second = startWindowProgram(window);

    ASSERT_EQ(::WaitForSingleObject(second.get(), 30'000), WAIT_OBJECT_0);
    DWORD status = 255;
    ::GetExitCodeProcess(second.get(), &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)); // the first goes on
    ::TerminateProcess(first.get(), 255);
    ::WaitForSingleObject(first.get(), 10'000);
}

TEST_F(ConsoleProgram, HelpAndVersionGoToStandardOutput)
{
    ProgramRun help({"--help"});
    EXPECT_EQ(help.wait(), 0);
    EXPECT_THAT(help.lines(), ::testing::Contains(StartsWith("Usage: carrovex-console")));
    EXPECT_THAT(help.lines(), ::testing::Contains(HasSubstr("Ctrl+C, Ctrl+Break or closing the console")));
    for (const std::string& line : help.lines()) {
        EXPECT_LE(line.size(), 80u) << line;
    }

    EXPECT_THAT(help.lines(), ::testing::Contains(AllOf(StartsWith("Settings file:    "), EndsWith("\\Carrovex.ini"))));

    ProgramRun version(with(pair.dir(), "--version"));
    EXPECT_EQ(version.wait(), 0);
    EXPECT_THAT(version.lines(),
        ElementsAre(StartsWith("carrovex-console 0."),
            "Settings file:    " + pair.settings + "\\Carrovex.ini",
            "Language folders: " + pair.settings + "\\lang",
            StartsWith("                  ")));
}

} // namespace

} // namespace carrovex::testing
