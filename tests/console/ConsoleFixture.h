#pragma once

#include "tests/console/ProgramRun.h"
#include "tests/engine/RunLines.h"

#ifdef _WIN32
#include "tests/win32/WinDisk.h"
#else
#include "tests/posix/DiskFixtures.h"
#endif

#include <filesystem>
#include <gmock/gmock.h>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace carrovex::testing
{

namespace fs = std::filesystem;

// A stamp in the formats the tests run in: the C locale's "12/06/26 21:30:00 - " on Linux, English (United
// States) "12/7/2026 2:38:50 AM - " on Windows.
MATCHER(Stamped, "begins with a stamp")
{
#ifdef _WIN32
    const std::regex stamped("^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} (AM|PM) - ");
#else
    const std::regex stamped("^[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} - ");
#endif
    return std::regex_search(arg, stamped);
}

#ifdef _WIN32
inline constexpr const char* separator = "\\";
inline constexpr const char* lineEnd = "\r\n";
#else
inline constexpr const char* separator = "/";
inline constexpr const char* lineEnd = "\n";
#endif

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
            std::string("[Options]") + lineEnd + options + "From=" + source + lineEnd + "To=" + destination + lineEnd
                + "Language=English" + lineEnd);
    }

    std::string settingsFile() const
    {
        return settings + separator + "Carrovex.ini";
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
            writeFile(pair.source + separator + "file " + std::to_string(index) + ".bin",
                std::string(size, static_cast<char>('a' + index % 26)));
        }
    }

    // Every file is whole: a moved one in exactly one place, a copied one in the source and, once copied, in
    // the destination, each of those with its line in the log. No staged copy is left: the file in hand was
    // completed. Returns how many reached the destination.
    int expectWholeFiles(const std::vector<std::string>& lines,
        int count,
        std::size_t size,
        const std::string& destination,
        bool moved) const
    {
        int arrived = 0;
        for (int index = 0; index < count; ++index) {
            const std::string name = separator + ("file " + std::to_string(index) + ".bin");
            const std::string content(size, static_cast<char>('a' + index % 26));
            const bool there = exists(destination + name);
            arrived += there ? 1 : 0;
            EXPECT_TRUE(!there || readFile(destination + name) == content) << name;
            EXPECT_TRUE((moved && there) || readFile(pair.source + name) == content) << name;
            EXPECT_TRUE(!moved || there != exists(pair.source + name)) << name;
        }
        EXPECT_EQ(linesWith(lines, moved ? "- Moved: " : "- Copied: "), arrived);
        EXPECT_EQ(std::distance(fs::directory_iterator(destination), fs::directory_iterator()), arrived);
        EXPECT_GE(arrived, 1);
        return arrived;
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
