#include "tests/console/ConsoleFixture.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <iterator>
#include <thread>

using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;

namespace carrovex::testing
{

namespace
{

TEST_F(ConsoleProgram, OnceCopiesEveryFileAndPrintsOneFinalLineForEach)
{
    pair.store("Action=Copy\n");
    writeFile(pair.source + "/with blank.txt", "1");
    writeFile(pair.source + "/with\nnewline.txt", "2");
    writeFile(pair.source + "/plain.txt", "3");

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), AllOf(SizeIs(3), Each(AllOf(stamped, HasSubstr("- Copied: ")))));
    EXPECT_THAT(run.lines(), ::testing::Contains(HasSubstr("Copied: with\\nnewline.txt")));
    EXPECT_EQ(readFile(pair.destination + "/with\nnewline.txt"), "2");
    EXPECT_EQ(entriesOf(pair.source), entriesOf(pair.destination));
    EXPECT_EQ(run.errors(), "");
}

TEST_F(ConsoleProgram, OnceMovesEveryFile)
{
    pair.store("Action=Move\n");
    addSources(3, 100);

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), AllOf(SizeIs(3), Each(AllOf(stamped, HasSubstr("- Moved: file ")))));
    EXPECT_EQ(entriesOf(pair.source), "");
    EXPECT_EQ(readFile(pair.destination + "/file 2.bin"), std::string(100, 'c'));
}

TEST_F(ConsoleProgram, ReaderThatHasGoneDoesNotStopTheRun)
{
    pair.store("Action=Move\n");
    addSources(3, 100);

    ProgramRun run(with(pair.dir(), "--once"), cLocale);
    run.closeOutput();

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_EQ(entriesOf(pair.source), "");
    EXPECT_EQ(entriesOf(pair.destination), "file 0.bin file 1.bin file 2.bin");
}

TEST_F(ConsoleProgram, OnceWithNothingToDoSaysSoAndSucceeds)
{
    pair.store("Action=Move\n");

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre(AllOf(stamped, HasSubstr("No files: The source folder holds no files"))));
}

TEST_F(ConsoleProgram, OnceWithAnErrorLineExitsWithOneAndHandlesTheOtherFiles)
{
    pair.store("Action=Copy\nOverwrite=1\n");
    writeFile(pair.source + "/a.txt", "a");
    writeFile(pair.source + "/b.txt", "b");
    fs::create_directory(pair.destination + "/a.txt"); // a file cannot replace a folder

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 1) << run.errors();
    EXPECT_THAT(run.lines(), ::testing::UnorderedElementsAre(HasSubstr("Error: "), HasSubstr("Copied: b.txt")));
    EXPECT_EQ(readFile(pair.destination + "/b.txt"), "b");
    EXPECT_EQ(readFile(pair.source + "/a.txt"), "a");
}

int linesWith(const std::vector<std::string>& lines, const std::string& text)
{
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

// Waits up to 30 seconds for the folder to hold something: a transfer has begun.
bool waitForAnEntry(const std::string& folder)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fs::is_empty(folder)) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Copies that take about 40 ms a file, so that a signal comes in the middle of one.
const std::vector<std::string> slowCopies {
    "LC_ALL=C", "LD_PRELOAD=" CARROVEX_FAULT_SHIM, "CARROVEX_FAULT=slow-copy", "ASAN_OPTIONS=verify_asan_link_order=0"};
constexpr int slowFiles = 80; // more than a batch holds after its first two seconds
constexpr std::size_t slowFileSize = 1 << 20;

// Every file of the destination is a whole copy of its source, and the log has a line for each.
void expectWholeCopies(const FolderPair& pair, const std::vector<std::string>& lines)
{
    int copied = 0;
    for (int index = 0; index < slowFiles; ++index) {
        const std::string name = "file " + std::to_string(index) + ".bin";
        const std::string content(slowFileSize, static_cast<char>('a' + index % 26));
        if (exists(pair.destination + "/" + name)) {
            ++copied;
            EXPECT_EQ(readFile(pair.destination + "/" + name), content) << name;
        }
        EXPECT_EQ(readFile(pair.source + "/" + name), content) << name;
    }
    EXPECT_EQ(linesWith(lines, "- Copied: "), copied);
    EXPECT_EQ(std::distance(fs::directory_iterator(pair.destination), fs::directory_iterator()),
        copied); // no temporary file left
    EXPECT_GE(copied, 1); // the file in hand was completed
    EXPECT_LT(copied, slowFiles); // and the run was cancelled after it
}

TEST_F(ConsoleProgram, StopSignalDuringALongRunCompletesTheFileInHandAndSaves)
{
    pair.store("Action=Copy\nDoActionOnStart=1\nSave=1\nShowLog=2\n");
    addSources(slowFiles, slowFileSize);

    ProgramRun run(pair.dir(), slowCopies);
    ASSERT_TRUE(waitForAnEntry(pair.destination));
    run.signal(SIGTERM);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    expectWholeCopies(pair, run.lines());
    EXPECT_THAT(run.lines().front(), AllOf(stamped, HasSubstr("Scheduler started")));
    EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr("ShowLog=0\n")); // saved as on closing
}

TEST_F(ConsoleProgram, StopSignalDuringOnceReportsTheCancelledRun)
{
    pair.store("Action=Copy\nSave=1\nShowLog=2\n");
    addSources(slowFiles, slowFileSize);

    ProgramRun run(with(pair.dir(), "--once"), slowCopies);
    ASSERT_TRUE(waitForAnEntry(pair.destination));
    run.signal(SIGINT);

    EXPECT_EQ(run.wait(), 128 + SIGINT) << run.errors();
    expectWholeCopies(pair, run.lines());
    EXPECT_THAT(run.lines().back(), StartsWith("Cancelled: Copied "));
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr("ShowLog=2\n")); // a single run saves nothing
}

TEST_F(ConsoleProgram, StopSignalDuringAMoveToAnotherFileSystemLosesNothing)
{
    TmpfsMount disk(temp.path() + "/mnt", "256m");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    const std::string destination = disk.path();
    writeFile(pair.settingsFile(),
        "[Options]\nAction=Move\nDoActionOnStart=1\nLanguage=English\nFrom=" + pair.source + "\nTo=" + destination
            + "\n");
    constexpr int count = 8;
    constexpr std::size_t size = 16 << 20;
    addSources(count, size);

    ProgramRun run(pair.dir(), cLocale);
    ASSERT_TRUE(waitForAnEntry(destination));
    run.signal(SIGTERM);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    int moved = 0;
    for (int index = 0; index < count; ++index) {
        const std::string name = "/file " + std::to_string(index) + ".bin";
        const bool inDestination = exists(destination + name);
        moved += inDestination ? 1 : 0;
        EXPECT_NE(inDestination, exists(pair.source + name)) << name; // in exactly one place
        EXPECT_EQ(readFile((inDestination ? destination : pair.source) + name),
            std::string(size, static_cast<char>('a' + index)));
    }
    const auto& lines = run.lines();
    EXPECT_EQ(linesWith(lines, "- Moved: "), moved);
    EXPECT_EQ(std::distance(fs::directory_iterator(destination), fs::directory_iterator()), moved);
    EXPECT_GE(moved, 1);
    if (moved < count) {
        EXPECT_THAT(lines.back(), StartsWith("Cancelled: Moved "));
    }
}

TEST_F(ConsoleProgram, AskingWithoutATerminalDoesNotSave)
{
    pair.store("Question=1\nShowLog=2\n");
    const std::string before = readFile(pair.settingsFile());

    ProgramRun run(pair.dir(), cLocale);
    std::string line;
    ASSERT_TRUE(run.nextLine(line));
    run.signal(SIGINT);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre(AllOf(stamped, HasSubstr("Scheduler started"))));
    EXPECT_EQ(readFile(pair.settingsFile()), before);
}

struct AnswerCase {
    const char* name;
    const char* typed;
    bool saved;
    int questions;

    friend void PrintTo(const AnswerCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class ConsoleProgramAsks : public ConsoleProgram, public ::testing::WithParamInterface<AnswerCase>
{
};

TEST_P(ConsoleProgramAsks, OnTheTerminalBeforeSaving)
{
    const AnswerCase& c = GetParam();
    pair.store("Question=1\nShowLog=2\n");
    const std::string question = "Carrovex Lite - Settings: Save settings? [Y/n] ";

    ProgramRun run(pair.dir(), cLocale, ProgramRun::Input::Terminal);
    std::string line;
    ASSERT_TRUE(run.nextLine(line));
    run.signal(SIGTERM);
    ASSERT_TRUE(run.waitForError(question));
    run.type(c.typed);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    std::size_t questions = 0;
    for (auto at = run.errors().find(question); at != std::string::npos; at = run.errors().find(question, at + 1)) {
        ++questions;
    }
    EXPECT_EQ(questions, c.questions) << run.errors();
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr(c.saved ? "ShowLog=0\n" : "ShowLog=2\n"));
}

INSTANTIATE_TEST_SUITE_P(Answers,
    ConsoleProgramAsks,
    ::testing::Values(AnswerCase {"EmptyIsYes", "\n", true, 1},
        AnswerCase {"No", "N\n", false, 1},
        AnswerCase {"OtherAsksAgain", "maybe\nja\n", true, 2},
        AnswerCase {"EndOfInputIsNo", "\x04", false, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ConsoleProgram, TwoSettingsFoldersRunSideBySide)
{
    const FolderPair other(temp, "other");
    pair.store("Action=Move\nDoActionOnStart=1\nSave=1\nShowLog=2\n");
    other.store("Action=Copy\nDoActionOnStart=1\nSave=0\nShowLog=2\n");
    writeFile(pair.source + "/mine.txt", "mine");
    writeFile(other.source + "/theirs.txt", "theirs");

    ProgramRun first(pair.dir(), cLocale);
    ProgramRun second(other.dir(), cLocale);
    std::string line;
    for (ProgramRun* run : {&first, &second}) {
        ASSERT_TRUE(run->nextLine(line)); // started
        ASSERT_TRUE(run->nextLine(line)); // its one file
        run->signal(SIGTERM);
    }

    EXPECT_EQ(first.wait(), 0) << first.errors();
    EXPECT_EQ(second.wait(), 0) << second.errors();
    EXPECT_THAT(first.lines().back(), HasSubstr("Moved: mine.txt"));
    EXPECT_THAT(second.lines().back(), HasSubstr("Copied: theirs.txt"));
    EXPECT_EQ(entriesOf(pair.source), "");
    EXPECT_EQ(entriesOf(pair.destination), "mine.txt");
    EXPECT_EQ(entriesOf(other.source), "theirs.txt");
    EXPECT_EQ(entriesOf(other.destination), "theirs.txt");
    EXPECT_THAT(readFile(pair.settingsFile()), HasSubstr("ShowLog=0\n")); // each saves its own settings
    EXPECT_THAT(readFile(other.settingsFile()), HasSubstr("ShowLog=2\n"));
}

// The settings folder's own lang/ holds one language file; the settings choose English.
struct OwnLanguageCase {
    const char* name;
    const char* ownFile;
    const char* copiedWord;

    friend void PrintTo(const OwnLanguageCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class ConsoleProgramLanguages : public ConsoleProgram, public ::testing::WithParamInterface<OwnLanguageCase>
{
};

TEST_P(ConsoleProgramLanguages, ComeFromTheSettingsFolderBeforeTheProgramsOwn)
{
    pair.store("Action=Copy\n");
    fs::create_directory(pair.settings + "/lang");
    writeFile(pair.settings + "/lang/" + GetParam().ownFile, "[frmMain]\nt25=Kopiert\n");
    writeFile(pair.source + "/a.txt", "a");

    ProgramRun run(with(pair.dir(), "--once"), cLocale);

    EXPECT_EQ(run.wait(), 0) << run.errors();
    EXPECT_THAT(run.lines(), ElementsAre(HasSubstr(std::string("- ") + GetParam().copiedWord + ": a.txt")));
}

INSTANTIATE_TEST_SUITE_P(Cases,
    ConsoleProgramLanguages,
    ::testing::Values(OwnLanguageCase {"OwnFileWins", "English.dat", "Kopiert"},
        OwnLanguageCase {"ProgramsFileServesTheOthers", "Plattdeutsch.dat", "Copied"}));

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
