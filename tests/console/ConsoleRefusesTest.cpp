#include "tests/TableRows.h"
#include "tests/console/ConsoleFixture.h"

#include <algorithm>
#include <csignal>

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace carrovex::testing
{

namespace
{

struct UnusableCase : NamedRow {
    std::vector<std::string> arguments; // "DIR" stands for the pair's settings folder
    const char* settings; // nullptr: no settings file; "DIR" stands for the settings folder here too
    const char* says;
};

using ConsoleProgramRefuses = Table<ConsoleProgram, UnusableCase>;

TEST_P(ConsoleProgramRefuses, WithOneLineAndStatusTwo)
{
    const UnusableCase& c = GetParam();
    if (c.settings != nullptr) {
        std::string settings = c.settings;
        if (const auto at = settings.find("DIR"); at != std::string::npos) {
            settings.replace(at, 3, pair.settings);
        }
        pair.store(settings);
    }
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) {
        arguments.push_back(argument == "DIR" ? pair.settings : argument);
    }
    addSources(1, 10);

    ProgramRun run(arguments, cLocale);

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
        UnusableCase {"LogWithoutFile", {"--dir", "DIR", "--log="}, "", "--log needs a file"},
        UnusableCase {"MissingSettingsFolder",
            {"--dir", "/nonexistent/carrovex"},
            "",
            "\"/nonexistent/carrovex\" does not exist"},
        // Without settings the language is German, the default.
        UnusableCase {"NoSettingsFile", {"--once", "--dir", "DIR"}, nullptr, "keine Einstellungsdatei"},
        UnusableCase {"ActionInSmallLetters", {"--once", "--dir", "DIR"}, "Action=copy\n", "Action=copy in "},
        UnusableCase {"UnknownActionInTheScheduler", {"--dir", "DIR"}, "Action=Bogus\n", "neither Copy nor Move"},
        UnusableCase {"MissingLanguage", {"--once", "--dir", "DIR"}, "Language=Klingon\n", "Klingon.dat"},
        UnusableCase {"MissingSourceOnce", {"--once", "--dir", "DIR"}, "From=/nonexistent/source\n", "(From in"},
        UnusableCase {"MissingDestinationScheduler", {"--dir", "DIR"}, "To=/nonexistent/destination\n", "(To in"},
        UnusableCase {"DestinationIsTheSource", {"--once", "--dir", "DIR"}, "To=DIR-source\n", "lies inside it"}),
    rowName);

TEST_F(ConsoleProgram, FailedSaveOnStopIsReportedWithStatusOne)
{
    pair.store("Action=Copy\nShowLog=2\n");

    ProgramRun run(pair.dir(), cLocale);
    std::string line;
    ASSERT_TRUE(run.nextLine(line)); // started
    fs::remove_all(pair.settings); // the settings can no longer be written, even by root
    run.signal(SIGTERM);

    EXPECT_EQ(run.wait(), 1);
    EXPECT_THAT(run.errors(),
        AllOf(StartsWith("carrovex-console: The settings could not be saved in "), HasSubstr(pair.settingsFile())));
    EXPECT_EQ(std::count(run.errors().begin(), run.errors().end(), '\n'), 1) << run.errors();
}

TEST_F(ConsoleProgram, SecondProgramOnTheSameSettingsIsRefused)
{
    pair.store("Action=Copy\nSave=0\n");
    ProgramRun first(pair.dir(), cLocale);
    std::string line;
    ASSERT_TRUE(first.nextLine(line)); // started
    fs::create_directory_symlink(pair.settings, temp.path() + "/same");
    pair.store("From=\n"); // as a window leaves them while its settings are not saved yet

    for (const std::vector<std::string>& arguments :
        {with(pair.dir(), "--once"), std::vector<std::string> {"--dir", temp.path() + "/same"}}) {
        ProgramRun second(arguments, cLocale);
        EXPECT_EQ(second.wait(), 2);
        EXPECT_THAT(second.errors(), HasSubstr("already runs with the settings in"));
    }
    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(), 0) << first.errors();
}

} // namespace

} // namespace carrovex::testing
