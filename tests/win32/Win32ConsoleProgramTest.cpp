#include "platform/console/ConsoleText.h"
#include "platform/win32/ConsoleTerminal.h"
#include "platform/win32/WideText.h"
#include "tests/console/ConsoleFixture.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <io.h>
#include <windows.h>

using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;
using ::testing::StartsWith;

// carrovex-console.exe run as a user runs it, with the user's locale English (as the Linux tests run in
// the C locale): the same lines and exit statuses as on Linux.
namespace carrovex::testing
{

namespace
{

// One final line for each file, its name whole; a file that another program writes is left, and the
// status tells of it. Both folders lie in folders whose first 255 characters name other existing folders: a
// path read cut short would take files out of those, or put them there.
TEST_F(ConsoleProgram, OnceMovesEveryFileButOneInUseAndExitsWithOne)
{
    const auto folderOf255 = [&](const std::string& name) {
        const std::string prefix = temp.path() + "\\" + name;
        return temp.folder(name + std::string(255 - prefix.size(), 'p'));
    };
    const std::string outer = folderOf255("o");
    const std::string outerDestination = folderOf255("d");
    ASSERT_EQ(outer.size(), 255U);
    pair.source = temp.folder(outer.substr(temp.path().size() + 1) + "\\" + std::string(40, 's'));
    pair.destination = temp.folder(outerDestination.substr(temp.path().size() + 1) + "\\" + std::string(40, 'a'));
    writeFile(outer + "\\important.conf", "keep");
    pair.store("Action=Move\r\n");
    addSources(3, 10);
    const std::string name = "M\xC3\xA4rz \xE2\x82\xAC.txt";
    writeFile(pair.source + "\\" + name, "2");
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
    EXPECT_THAT(run.lines(), AllOf(SizeIs(4), Each(Stamped())));
    EXPECT_EQ(linesWith(run.lines(), "- Moved: "), 3);
    EXPECT_THAT(run.lines(), ::testing::Contains(HasSubstr("- Moved: " + name)));
    EXPECT_THAT(run.lines(), ::testing::Contains(AllOf(HasSubstr("Error: "), HasSubstr(" - file 1.bin"))));
    EXPECT_EQ(entriesOf(pair.source), "file 1.bin");
    EXPECT_EQ(entriesOf(pair.destination), name + " file 0.bin file 2.bin");
    EXPECT_EQ(readFile(pair.destination + "\\" + name), "2");
    EXPECT_EQ(readFile(outer + "\\important.conf"), "keep");
    EXPECT_EQ(entriesOf(outerDestination), std::string(40, 'a'));
    EXPECT_EQ(run.errors(), "");
}

// Which settings are refused is the console logic's own, the same on Linux; here a Windows path, named whole.
TEST_F(ConsoleProgram, RefusesAMissingSettingsFolderWithOneLineAndStatusTwo)
{
    ProgramRun run({"--dir", "C:\\nonexistent\\carrovex"});

    EXPECT_EQ(run.wait(), 2);
    EXPECT_THAT(run.errors(),
        AllOf(StartsWith("carrovex-console: "), HasSubstr("\"C:\\nonexistent\\carrovex\" does not exist")));
    EXPECT_EQ(std::count(run.errors().begin(), run.errors().end(), '\n'), 1) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre());
}

BOOL WINAPI ignoreHere(DWORD)
{
    return TRUE; // the event is for the program under test
}

// The console's control events reach every program on the console: this test runs only where there is one
// (CTest runs it under a terminal as win32_console_stop) and ignores the events itself. Wine 8 cannot make
// a Ctrl+Break event (GenerateConsoleCtrlEvent fails), so Ctrl+C stands in for it; which status each event
// gives is ConsoleTerminal's signalNumberFor.
TEST_F(ConsoleProgram, CtrlCUnderAConsoleCompletesTheFileInHandAndEndsAsTheSignalDoes)
{
    if (::GetConsoleCP() == 0) {
        GTEST_SKIP() << "needs a console; CTest runs this under a terminal as win32_console_stop";
    }
    ::SetConsoleCtrlHandler(ignoreHere, TRUE);
    constexpr int slowFiles = 8; // large enough that the event comes in the middle of a run
    constexpr std::size_t slowFileSize = 8 << 20;
    addSources(slowFiles, slowFileSize);
    struct Case {
        bool once;
        const char* settings;
        int status;
        const char* showLogAfter; // a single run saves nothing, a scheduler saves as on closing
    };
    for (const Case c :
        {Case {true, "", 130, "ShowLog=2\r\n"}, Case {false, "DoActionOnStart=1\r\n", 0, "ShowLog=0\r\n"}}) {
        SCOPED_TRACE(c.once ? "--once" : "scheduler");
        pair.store(std::string("Action=Copy\r\nSave=1\r\nShowLog=2\r\n") + c.settings);
        ProgramRun run(c.once ? with(pair.dir(), "--once") : pair.dir());
        ASSERT_TRUE(within([this] { return !entriesOf(pair.destination).empty(); }));
        ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);

        EXPECT_EQ(run.wait(), c.status) << run.errors();
        EXPECT_LT(expectWholeFiles(run.lines(), slowFiles, slowFileSize, pair.destination, false), slowFiles);
        for (const auto& copy : fs::directory_iterator(pair.destination)) {
            fs::remove(copy);
        }
        if (!c.once) {
            EXPECT_THAT(run.lines().front(), AllOf(Stamped(), HasSubstr("Scheduler started")));
        }
        EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
        EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr(c.showLogAfter));
    }
    ::SetConsoleCtrlHandler(ignoreHere, FALSE);
}

TEST_F(ConsoleProgram, SecondProgramOnTheSameSettingsIsRefused)
{
    pair.store("Action=Copy\r\nInterval=60\r\n");
    const std::string log = temp.path() + "\\scheduler.log";
    ProgramRun scheduler(with(with(pair.dir(), "--log"), log));
    // Its log is begun once it holds the settings. Asking the settings folder itself would hold it for a
    // moment: a scheduler starting in that moment would take itself for the second and end.
    ASSERT_TRUE(within([&log] { return !readFile(log).empty(); }));

    ProgramRun once(with(pair.dir(), "--once"));

    EXPECT_EQ(once.wait(), 2);
    EXPECT_THAT(once.errors(), HasSubstr("Carrovex already runs with the settings in"));
    EXPECT_EQ(scheduler.wait(0), 255); // still running: the test ends it
}

// Waits until the window program started as `process` listens for a second start. Asking whether the folder
// is held would hold it for a moment itself: a program starting in that moment takes itself for the second.
bool waitUntilListening(HANDLE process)
{
    const DWORD id = ::GetProcessId(process);
    return within([id] {
        for (HWND listener = nullptr;
             (listener = ::FindWindowExW(HWND_MESSAGE, listener, L"CarrovexSingleInstance", nullptr)) != nullptr;) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(listener, &owner);
            if (owner == id) {
                return true;
            }
        }
        return false;
    });
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
    EXPECT_TRUE(waitUntilListening(first.get()));
    const win32::Handle second = startWindowProgram(window);

    EXPECT_EQ(::WaitForSingleObject(second.get(), 90'000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD status = 255;
    ::GetExitCodeProcess(second.get(), &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)); // the first goes on
    // Also where the second hangs: a program left running would keep CTest waiting for its outputs.
    for (const win32::Handle* started : {&first, &second}) {
        ::TerminateProcess(started->get(), 255);
        ::WaitForSingleObject(started->get(), 10'000);
    }
}

// The help names the console's own ways to stop, and the paths are Windows paths.
TEST_F(ConsoleProgram, HelpAndVersionGoToStandardOutput)
{
    for (const char* asked : {"--help", "/?"}) {
        ProgramRun help({asked});
        EXPECT_EQ(help.wait(), 0) << asked;
        EXPECT_THAT(help.lines(), ::testing::Contains(HasSubstr("Ctrl+C, Ctrl+Break or closing the console")));
    }

    ProgramRun version(with(pair.dir(), "--version"));
    EXPECT_EQ(version.wait(), 0);
    EXPECT_THAT(version.lines(),
        ElementsAre(StartsWith("carrovex-console 0."),
            "Settings file:    " + pair.settingsFile(),
            "Language folders: " + pair.settings + "\\lang",
            StartsWith("                  ")));
}

// Wine cannot make the other events; the programs' tests show Ctrl+C's status.
TEST(ConsoleTerminal, ControlEventsStandForTheSignalsOfTheLinuxProgram)
{
    EXPECT_EQ(win32::signalNumberFor(CTRL_C_EVENT), 2); // SIGINT: status 130
    for (const DWORD stop : {CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT}) {
        EXPECT_EQ(win32::signalNumberFor(stop), 15) << stop; // SIGTERM: status 143
    }
}

TEST(ConsoleTerminal, WaitsUntilTheDeadlineWithoutARequestAndAsksNothingWithoutAConsole)
{
    win32::ConsoleTerminal terminal;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(terminal.wait(start + std::chrono::milliseconds(50)), Terminal::Wake::Deadline);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(terminal.wait(start), Terminal::Wake::Deadline); // a deadline that has passed only looks
    EXPECT_EQ(terminal.signalNumber(), 0);
    if (::GetConsoleCP() == 0) {
        EXPECT_FALSE(terminal.askYesNo("Save?"));
    }
}

// A file made in the watched folder ends a wait; one that leaves it (as the program's own moves do) does not.
TEST(ConsoleTerminal, ArrivalsInTheWatchedFolderEndAWait)
{
    using namespace std::chrono_literals;
    TempFolder temp;
    win32::ConsoleTerminal terminal;
    const auto in = [](std::chrono::milliseconds time) { return std::chrono::steady_clock::now() + time; };
    ASSERT_TRUE(terminal.watchArrivals(temp.path()).ok());

    std::ofstream(temp.path() + "\\a.txt") << "a";
    EXPECT_EQ(terminal.wait(in(5000ms)), Terminal::Wake::Arrival);
    while (terminal.wait(in(500ms)) == Terminal::Wake::Arrival) { }
    std::filesystem::remove(temp.path() + "\\a.txt");
    EXPECT_EQ(terminal.wait(in(1000ms)), Terminal::Wake::Deadline);
    EXPECT_FALSE(terminal.watchArrivals(temp.path() + "\\missing").ok());
}

// A name reads as written on a console of another code page (CTest runs this under a terminal as
// win32_console_stop), and keeps its UTF-8 bytes when redirected.
TEST(ConsoleText, NamesUnderAConsoleShowAsWrittenAndKeepTheirBytesElsewhere)
{
    const std::string name = "Größe ü.txt";
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    writeText(file, name);
    std::rewind(file);
    char bytes[64] = {};
    EXPECT_EQ(std::string(bytes, std::fread(bytes, 1, sizeof bytes, file)), name);
    std::fclose(file);
    if (::GetConsoleCP() == 0) {
        GTEST_SKIP() << "needs a console; CTest runs this under a terminal as win32_console_stop";
    }

    const HANDLE output = ::CreateFileW(L"CONOUT$",
        GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr,
        OPEN_EXISTING,
        0,
        nullptr);
    ASSERT_NE(output, INVALID_HANDLE_VALUE);
    std::FILE* console = ::_fdopen(::_open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY), "w");
    ASSERT_NE(console, nullptr);
    const UINT codePage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(850); // Western Europe's console code page: "ö" and "ü", but not as UTF-8
    CONSOLE_SCREEN_BUFFER_INFO before {};
    ::GetConsoleScreenBufferInfo(output, &before);

    writeText(console, name);
    std::fflush(console);

    std::wstring shown(11, L' ');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(
        output, shown.data(), static_cast<DWORD>(shown.size()), before.dwCursorPosition, &read);
    ::SetConsoleOutputCP(codePage);
    std::fclose(console);
    EXPECT_EQ(shown, L"Größe ü.txt");
}

} // namespace

} // namespace carrovex::testing
