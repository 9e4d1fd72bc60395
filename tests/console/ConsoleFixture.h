#pragma once

#include "tests/console/ProgramRun.h"
#include "tests/posix/DiskFixtures.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace carrovex::testing
{

namespace fs = std::filesystem;

// A stamp in the C locale, as the program runs in the tests: "12/06/26 21:30:00 - ".
inline const auto stampedLine = ::testing::MatchesRegex("[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} - .*");

// A pair of folders and the settings folder of one scheduled transfer, all on disk.
class FolderPair
{
public:
    explicit FolderPair(const TempFolder& temp, const std::string& name = "pair")
        : settings(temp.folder(name))
        , source(temp.folder(name + "-source"))
        , destination(temp.folder(name + "-destination"))
    {
    }

    // The options given; for the keys they leave out, the pair's folders and English (the first key wins).
    void store(const std::string& options) const
    {
        writeFile(settingsFile(),
            "[Options]\n" + options + "From=" + source + "\nTo=" + destination + "\nLanguage=English\n");
    }

    std::string settingsFile() const
    {
        return settings + "/Carrovex.ini";
    }

    std::vector<std::string> dir() const
    {
        return {"--dir", settings};
    }

    std::string settings;
    std::string source;
    std::string destination;
};

inline const std::vector<std::string> cLocale {"LC_ALL=C"};

class ConsoleProgram : public ::testing::Test
{
protected:
    // Files whose copies are checked byte for byte; each a little different.
    void addSources(int count, std::size_t size)
    {
        for (int index = 0; index < count; ++index) {
            writeFile(pair.source + "/file " + std::to_string(index) + ".bin",
                std::string(size, static_cast<char>('a' + index % 26)));
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

} // namespace carrovex::testing
