#include "tests/TableRows.h"
#include "tests/console/ConsoleFixture.h"

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace carrovex::testing
{

namespace
{

constexpr int raceFiles = 3000;
constexpr int raceRounds = 4;

// Each file of each round has a content of its own, of a few lengths.
std::string raceName(int round, int index)
{
    return "r" + std::to_string(round) + "-" + std::to_string(index) + ".bin";
}

std::string raceContent(int round, int index)
{
    return raceName(round, index) + std::string(static_cast<std::size_t>(index % 7) * 300, 'x');
}

// What one program's log says about the files of a round, by name.
struct RaceLog {
    std::map<std::string, int> moved;
    // Neither a move nor a file left to the other program, nor a source that the other emptied first.
    std::vector<std::string> otherLines;
};

RaceLog readRaceLog(const std::vector<std::string>& lines)
{
    // The only failures two programs may meet on one source: the other holds the file, or took it, or all.
    const std::vector<std::string> leftToTheOther
        = {"Error: Another program is transferring the file or holds a lock on it; it is left for a later run - ",
            "Error: The file was taken from the source folder by another program - ",
            "No files: The source folder holds no files"};
    RaceLog log;
    for (const std::string& line : lines) {
        if (const auto at = line.find("- Moved: "); at != std::string::npos) {
            ++log.moved[line.substr(at + 9)];
        } else if (std::none_of(leftToTheOther.begin(), leftToTheOther.end(), [&](const std::string& text) {
                       return line.find(text) != std::string::npos;
                   })) {
            log.otherLines.push_back(line);
        }
    }
    return log;
}

struct RaceCase : NamedRow {
    bool acrossFileSystems; // both destinations on a tmpfs
};

using TwoProgramsOnOneSource = Table<ConsoleProgram, RaceCase>;

// Two settings folders (two services, or a window and a service) move from one source at the same moment:
// every file ends in exactly one destination, whole, and each program's log tells only the truth about it.
TEST_P(TwoProgramsOnOneSource, GiveEveryFileToExactlyOneOfThem)
{
    std::optional<TmpfsMount> disk;
    FolderPair other(temp, "other");
    std::string destinations[2] = {pair.destination, other.destination};
    if (GetParam().acrossFileSystems) {
        disk.emplace(temp.path() + "/mnt", "256m");
        SKIP_UNLESS_MOUNTED(*disk);
        destinations[0] = disk->path() + "/first";
        destinations[1] = disk->path() + "/second";
        fs::create_directory(destinations[0]);
        fs::create_directory(destinations[1]);
    }
    pair.store("Action=Move\nTo=" + destinations[0] + "\n");
    other.store("Action=Move\nFrom=" + pair.source + "\nTo=" + destinations[1] + "\n");

    for (int round = 0; round < raceRounds; ++round) {
        for (int index = 0; index < raceFiles; ++index) {
            writeFile(pair.source + "/" + raceName(round, index), raceContent(round, index));
        }
        ProgramRun first(with(pair.dir(), "--once"), cLocale);
        ProgramRun second(with(other.dir(), "--once"), cLocale);
        EXPECT_LE(first.wait(), 1) << first.errors();
        EXPECT_LE(second.wait(), 1) << second.errors();

        const RaceLog logs[2] = {readRaceLog(first.lines()), readRaceLog(second.lines())};
        std::ostringstream misplaced;
        int counts[2] = {0, 0};
        for (int index = 0; index < raceFiles; ++index) {
            const std::string name = raceName(round, index);
            const bool in[2] = {exists(destinations[0] + "/" + name), exists(destinations[1] + "/" + name)};
            if (in[0] == in[1] || exists(pair.source + "/" + name)) {
                misplaced << name << (in[0] ? " first" : "") << (in[1] ? " second" : "") << "; ";
                continue;
            }
            const int taker = in[0] ? 0 : 1;
            ++counts[taker];
            EXPECT_EQ(readFile(destinations[taker] + "/" + name), raceContent(round, index)) << name;
            const auto said = logs[taker].moved.find(name);
            EXPECT_EQ(said == logs[taker].moved.end() ? 0 : said->second, 1) << name;
        }
        EXPECT_EQ(misplaced.str(), "") << "round " << round;
        for (int program = 0; program < 2; ++program) {
            EXPECT_EQ(logs[program].moved.size(), static_cast<std::size_t>(counts[program])) << "round " << round;
            const std::vector<std::string>& otherLines = logs[program].otherLines;
            EXPECT_EQ(otherLines.size(), 0U) << "round " << round << ", the first: " << otherLines.front();
        }
        EXPECT_EQ(entriesOf(pair.source), "");
        EXPECT_EQ(counts[0] + counts[1], raceFiles);
        if (HasFailure()) {
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Destinations,
    TwoProgramsOnOneSource,
    ::testing::Values(RaceCase {"OnTheSourcesFileSystem", false}, RaceCase {"OnAnotherFileSystem", true}),
    rowName);

} // namespace

} // namespace carrovex::testing
