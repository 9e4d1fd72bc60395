#include "platform/MainWindow.h"
#include "tests/console/ConsoleFixture.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <iterator>
#include <sstream>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <utility>

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace carrovex::testing
{

namespace
{

// One run with --once: a final line for each file, and the exit status says whether any failed.
struct OnceCase : NamedRow {
    const char* options;
    std::vector<std::string> sources; // each file holds its name
    bool readerGoes; // the reader of standard output goes away at once
    int status;
    std::vector<std::string> says; // in the lines, one each, in any order
    std::vector<std::string> arrived;
    std::vector<std::string> kept; // still in the source folder
};

using ConsoleProgramOnce = Table<ConsoleProgram, OnceCase>;

TEST_P(ConsoleProgramOnce, HandlesEveryFile)
{
    const OnceCase& c = GetParam();
    pair.store(c.options);
    for (const std::string& name : c.sources) {
        writeFile(pair.source + "/" + name, name);
    }
    fs::create_directory(pair.destination + "/in the way"); // a file cannot replace a folder

    // The log file, asked for, holds the lines of standard output, also where nobody reads that.
    const std::string log = temp.path() + "/once.log";
    ProgramRun run(with(with(with(pair.dir(), "--once"), "--log"), log),
        cLocale,
        c.readerGoes ? ProgramRun::Input::ReaderGone : ProgramRun::Input::Nothing);

    EXPECT_EQ(run.wait(), c.status) << run.errors();
    EXPECT_EQ(run.errors(), "");
    std::vector<::testing::Matcher<std::string>> says;
    for (const std::string& text : c.says) {
        says.push_back(AllOf(Stamped(), HasSubstr(text)));
    }
    if (!c.readerGoes) {
        EXPECT_THAT(run.lines(), ::testing::UnorderedElementsAreArray(says));
    }
    std::vector<std::string> logged;
    std::istringstream logText(readFile(log));
    for (std::string line; std::getline(logText, line);) {
        logged.push_back(line);
    }
    if (c.readerGoes) {
        EXPECT_THAT(logged, AllOf(::testing::Each(Stamped()), ::testing::SizeIs(c.sources.size())));
    } else {
        EXPECT_EQ(logged, run.lines());
    }
    for (const std::string& name : c.arrived) {
        EXPECT_EQ(readFile(pair.destination + "/" + name), name);
    }
    for (const std::string& name : c.sources) {
        EXPECT_EQ(exists(pair.source + "/" + name), std::count(c.kept.begin(), c.kept.end(), name) == 1) << name;
    }
}

const std::vector<std::string> threeFiles {"with blank.txt", "with\nnewline.txt", "plain.txt"};
const std::vector<std::string> copiedThree {
    "- Copied: with blank.txt", "- Copied: with\\nnewline.txt", "- Copied: plain.txt"};
const std::string noFiles = "No files: The source folder holds no files";
const std::vector<std::string> movedThree {
    "- Moved: with blank.txt", "- Moved: with\\nnewline.txt", "- Moved: plain.txt"};

INSTANTIATE_TEST_SUITE_P(Cases,
    ConsoleProgramOnce,
    ::testing::Values(OnceCase {"Copies", "Action=Copy\n", threeFiles, false, 0, copiedThree, threeFiles, threeFiles},
        OnceCase {"Moves", "Action=Move\n", threeFiles, false, 0, movedThree, threeFiles, {}},
        OnceCase {"ReaderThatHasGoneDoesNotStopTheRun", "Action=Move\n", threeFiles, true, 0, {}, threeFiles, {}},
        OnceCase {"NothingToDoSucceeds", "Action=Move\n", {}, false, 0, {noFiles}, {}, {}},
        OnceCase {"AnErrorLineExitsWithOneAndTheOtherFilesAreHandled",
            "Action=Copy\nOverwrite=1\n",
            {"in the way", "b.txt"},
            false,
            1,
            {"Error: ", "Copied: b.txt"},
            {"b.txt"},
            {"in the way", "b.txt"}}),
    rowName);

// A transfer has begun. Not any entry tells: the program's own hidden names (its probe whether two folders are
// one) come and go before a file is placed.
bool waitForAPlacedFile(const std::string& folder)
{
    return within([&] {
        const std::vector<std::string> names = namesIn(folder);
        return std::any_of(names.begin(), names.end(), [](const std::string& name) { return !name.starts_with('.'); });
    });
}

// The C locale, with the fault shim making the fault.
std::vector<std::string> withFault(const std::string& fault)
{
    return {"LC_ALL=C",
        "LD_PRELOAD=" CARROVEX_FAULT_SHIM,
        "CARROVEX_FAULT=" + fault,
        "ASAN_OPTIONS=verify_asan_link_order=0"};
}

// Copies that take about 40 ms a file, so that a signal comes in the middle of one.
const std::vector<std::string> slowCopies = withFault("slow-copy");
constexpr int slowFiles = 80; // more than a batch holds after its first two seconds
constexpr std::size_t slowFileSize = 1 << 20;

struct StopCase : NamedRow {
    bool once;
    int signal;
    int status;
    const char* options; // besides copying, saving and the log shown
    const char* savedShowLog; // the settings file has it afterwards
};

using ConsoleProgramStops = Table<ConsoleProgram, StopCase>;

TEST_P(ConsoleProgramStops, AfterTheFileInHandAndReportsTheCancelledRun)
{
    const StopCase& c = GetParam();
    pair.store(std::string("Action=Copy\nSave=1\nShowLog=2\n") + c.options);
    addSources(slowFiles, slowFileSize);

    ProgramRun run(c.once ? with(pair.dir(), "--once") : pair.dir(), slowCopies);
    ASSERT_TRUE(waitForAPlacedFile(pair.destination));
    run.signal(c.signal);

    EXPECT_EQ(run.wait(), c.status) << run.errors();
    EXPECT_LT(expectWholeFiles(run.lines(), slowFiles, slowFileSize, pair.destination, false), slowFiles);
    if (!c.once) {
        EXPECT_THAT(run.lines().front(), AllOf(Stamped(), HasSubstr("Scheduler started")));
    }
    EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr(c.savedShowLog));
}

INSTANTIATE_TEST_SUITE_P(Cases,
    ConsoleProgramStops,
    ::testing::Values(StopCase {"SchedulerSavesAsOnClosing", false, SIGTERM, 0, "DoActionOnStart=1\n", "ShowLog=0\n"},
        StopCase {"OnceSavesNothing", true, SIGINT, 128 + SIGINT, "", "ShowLog=2\n"}),
    rowName);

TEST_F(ConsoleProgram, StopSignalDuringAMoveToAnotherFileSystemLosesNothing)
{
    TmpfsMount disk(temp.path() + "/mnt", "256m");
    SKIP_UNLESS_MOUNTED(disk);
    const std::string destination = disk.path();
    pair.store("Action=Move\nDoActionOnStart=1\nTo=" + destination + "\n");
    constexpr int count = 8;
    constexpr std::size_t size = 16 << 20;
    addSources(count, size);

    ProgramRun run(pair.dir(), cLocale);
    ASSERT_TRUE(waitForAPlacedFile(destination));
    run.signal(SIGTERM);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    if (expectWholeFiles(run.lines(), count, size, destination, true) < count) {
        EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Moved "));
    }
}

// With RunOnArrival a file is moved moments after its writer closes it, long before the interval is up;
// while the writer holds it, the folder brings no run at all (no line about it).
TEST_F(ConsoleProgram, ArrivingFileIsMovedSoonAfterItsWriterClosesIt)
{
    using namespace std::chrono_literals;
    pair.store("Action=Move\nInterval=5\nRunOnArrival=1\n");
    ProgramRun run(pair.dir(), cLocale);
    std::string line;
    ASSERT_TRUE(run.nextLine(line));
    ASSERT_THAT(line, HasSubstr("Scheduler started"));
    const std::string held = pair.source + "/held.txt";
    {
        std::ofstream writer(held);
        writer << "first" << std::flush;
        std::this_thread::sleep_for(arrivalQuietPeriod + 1s);
        writer << " second";
    }
    const auto closed = std::chrono::steady_clock::now();

    ASSERT_TRUE(run.nextLine(line));
    EXPECT_LT(std::chrono::steady_clock::now() - closed, arrivalQuietPeriod + 3s);
    EXPECT_THAT(line, AllOf(Stamped(), HasSubstr("- Moved: held.txt")));
    EXPECT_EQ(readFile(pair.destination + "/held.txt"), "first second");
    run.signal(SIGTERM);
    EXPECT_EQ(run.wait(), 0) << run.errors();
}

// Without CAP_LEASE (a service whose capabilities leave it out) no lease tells whether another user's logger
// still has a file open. By its modification time, the file had rested once the logger paused for 5 seconds,
// and the move lost every record written after it.
TEST_F(ConsoleProgram, FileThatAnotherUserStillWritesStaysUntilTheWriterIsDone)
{
    const std::string capsh = "/usr/sbin/capsh";
    const std::string setpriv = "/usr/bin/setpriv";
    if (::geteuid() != 0 || ::access(capsh.c_str(), X_OK) != 0 || ::access(setpriv.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "needs root, " << capsh << " and " << setpriv;
    }
    TmpfsMount disk(temp.path() + "/mnt", "1m"); // a move there copies: what the writer adds after it is lost
    SKIP_UNLESS_MOUNTED(disk);
    using namespace std::chrono_literals;
    constexpr auto pause = 7s;
    // Longer than the pause, so that a run slowed down by a busy machine still meets the file unsettled.
    constexpr auto settle = pause + 2s;
    const std::string seconds = std::to_string(pause.count());
    pair.store("Action=Move\nSettleSeconds=" + std::to_string(settle.count()) + "\nTo=" + disk.path() + "\n");
    ::chmod(temp.path().c_str(), 0755);
    ::chmod(pair.source.c_str(), 0777);
    const std::string log = pair.source + "/upload.log";
    ProgramRun writer({"--reuid=65534",
                          "--regid=65534",
                          "--clear-groups",
                          "sh",
                          "-c",
                          "exec 3>>\"$0\"; echo record 1 >&3; sleep " + seconds + "; echo record 2 >&3",
                          log},
        {},
        ProgramRun::Input::Nothing,
        setpriv);
    ASSERT_TRUE(within([&] { return !readFile(log).empty(); }));
    const auto firstRecord = std::chrono::steady_clock::now();
    const auto once = [&](const std::string& dropped) {
        ProgramRun run(
            {"--drop=" + dropped, "--", "-c", "exec \"$0\" --once --dir \"$1\"", CARROVEX_CONSOLE, pair.settings},
            cLocale,
            ProgramRun::Input::Nothing,
            capsh);
        const int status = run.wait();
        return std::make_pair(status, run.lines());
    };

    // With the logger's descriptors in view, the program sees the writer; asked at once, while it surely writes.
    const auto seeing = once("cap_lease");
    std::this_thread::sleep_until(firstRecord + 5400ms); // taken by the old 5 seconds
    // Blind to them as well (no CAP_SYS_PTRACE for another user's process), as the shipped service was, only
    // the change time keeps the file.
    const auto blind = once("cap_lease,cap_sys_ptrace");
    EXPECT_EQ(blind.first, 1);
    EXPECT_THAT(
        blind.second, ElementsAre(AllOf(Stamped(), HasSubstr("within the settle time"), HasSubstr("upload.log"))));
    EXPECT_EQ(seeing.first, 1);
    EXPECT_THAT(seeing.second, ElementsAre(AllOf(Stamped(), HasSubstr("open for writing"), HasSubstr("upload.log"))));
    EXPECT_TRUE(exists(log));
    EXPECT_EQ(entriesOf(disk.path()), "");
    EXPECT_EQ(writer.wait(), 0) << writer.errors();
    settleFile(log, settle);
    const auto after = once("cap_lease,cap_sys_ptrace");

    EXPECT_EQ(after.first, 0);
    EXPECT_THAT(after.second, ElementsAre(AllOf(Stamped(), HasSubstr("- Moved: upload.log"))));
    EXPECT_EQ(readFile(disk.path() + "/upload.log"), "record 1\nrecord 2\n");
    EXPECT_FALSE(exists(log));
}

struct AnswerCase : NamedRow {
    const char* typed; // nullptr: no terminal
    bool saved;
    std::size_t questions;
    const char* fault = nullptr;
};

using ConsoleProgramAsks = Table<ConsoleProgram, AnswerCase>;

TEST_P(ConsoleProgramAsks, OnTheTerminalBeforeSaving)
{
    const AnswerCase& c = GetParam();
    pair.store("Question=1\nShowLog=2\n");
    const std::string question = "Carrovex Lite - Settings: Save settings? [Y/n] ";

    ProgramRun run(pair.dir(),
        c.fault != nullptr ? withFault(c.fault) : cLocale,
        c.typed != nullptr ? ProgramRun::Input::Terminal : ProgramRun::Input::Nothing);
    std::string line;
    ASSERT_TRUE(run.nextLine(line));
    run.signal(SIGTERM);
    if (c.typed != nullptr) {
        ASSERT_TRUE(run.waitForError(question));
        run.type(c.typed);
    }

    EXPECT_EQ(run.wait(), 0) << run.errors();
    std::size_t questions = 0;
    for (auto at = run.errors().find(question); at != std::string::npos; at = run.errors().find(question, at + 1)) {
        ++questions;
    }
    EXPECT_EQ(questions, c.questions) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre(AllOf(Stamped(), HasSubstr("Scheduler started"))));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr(c.saved ? "ShowLog=0\n" : "ShowLog=2\n"));
}

INSTANTIATE_TEST_SUITE_P(Answers,
    ConsoleProgramAsks,
    ::testing::Values(AnswerCase {"EmptyIsYes", "\n", true, 1},
        AnswerCase {"No", "N\n", false, 1},
        AnswerCase {"OtherAsksAgain", "maybe\nja\n", true, 2},
        AnswerCase {"EndOfInputIsNo", "\x04", false, 1},
        AnswerCase {"NoTerminalIsNo", nullptr, false, 0},
        AnswerCase {"ReadThatWouldBlockIsTriedAgain", "\n", true, 1, "terminal-read-retried"}),
    rowName);

// The settings folder's own lang/ holds one language file, whole, cut short or damaged; the settings choose
// English. What the file lacks comes from the program's own.
struct OwnLanguageCase : NamedRow {
    const char* ownFile;
    std::string_view content; // empty: the shipped English cut short after "t21="
    const char* movedWord;
};

using ConsoleProgramLanguages = Table<ConsoleProgram, OwnLanguageCase>;

TEST_P(ConsoleProgramLanguages, ComeFromTheSettingsFolderBeforeTheProgramsOwn)
{
    const OwnLanguageCase& c = GetParam();
    const std::string shipped = readFile(std::string(CARROVEX_SOURCE_DIR) + "/lang/English.dat");
    fs::create_directory(pair.settings + "/lang");
    writeFile(pair.settings + "/lang/" + c.ownFile,
        c.content.empty() ? shipped.substr(0, shipped.find("t21=") + 4) : std::string(c.content));
    pair.store("Action=Move\n");
    writeFile(pair.source + "/new.txt", "new");
    writeFile(pair.source + "/taken.txt", "source");
    writeFile(pair.destination + "/taken.txt", "there");

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(),
        ::testing::UnorderedElementsAre(HasSubstr(std::string("- ") + c.movedWord + ": new.txt"),
            HasSubstr("- Not moved (already exists): taken.txt")));
}

INSTANTIATE_TEST_SUITE_P(Cases,
    ConsoleProgramLanguages,
    ::testing::Values(OwnLanguageCase {"OwnFileWins", "English.dat", "[frmMain]\nt26=Verschoben\n", "Verschoben"},
        OwnLanguageCase {"ProgramsFileServesTheOthers", "Plattdeutsch.dat", "[frmMain]\nt26=Verschoben\n", "Moved"},
        OwnLanguageCase {"CutShortFileLosesNoWord", "English.dat", "", "Moved"},
        OwnLanguageCase {
            "DamagedFileLosesNoWord", "English.dat", std::string_view("\x89\0\xFF[frm\n=\n", 10), "Moved"}),
    rowName);

TEST_F(ConsoleProgram, HelpAndVersionSayWhereTheSettingsAndLanguagesAre)
{
    const std::string program = fs::path(CARROVEX_CONSOLE).parent_path();

    ProgramRun help({"--help"});
    EXPECT_EQ(help.wait(), 0);
    EXPECT_THAT(help.lines(), ::testing::Contains(StartsWith("Usage: carrovex-console")));
    EXPECT_THAT(help.lines(), ::testing::Contains(HasSubstr("--once")));
    // Built, the program lies in the portable layout, with its languages beside it.
    EXPECT_THAT(help.lines(), ::testing::Contains("Settings file:    " + program + "/Carrovex.ini"));

    ProgramRun version(with(pair.dir(), "--version"));
    EXPECT_EQ(version.wait(), 0);
    EXPECT_THAT(version.lines(),
        ElementsAre(::testing::MatchesRegex("carrovex-console [0-9]+\\.[0-9]+.*"),
            "Settings file:    " + pair.settings + "/Carrovex.ini",
            "Language folders: " + pair.settings + "/lang",
            "                  " + program + "/lang"));
}

} // namespace

} // namespace carrovex::testing
