#pragma once

#include "platform/FileSystem.h"

#include <filesystem>
#include <string>
#include <vector>

namespace carrovex::testing
{

// A fresh folder in the system's temporary folder, removed with everything in it (read-only files too).
// Paths are in the platform's own form (UTF-8, with backslashes on Windows), as the logic gives them.
class TempFolder
{
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::string& path() const
    {
        return m_path;
    }
    // A sub-folder, created.
    std::string folder(const std::string& name) const;

private:
    std::string m_path;
};

// The platform's own form of a path given in UTF-8, and back.
std::filesystem::path nativePath(const std::string& path);
std::string utf8Path(const std::filesystem::path& path);
// The platform's form of an absolute path, however long.
std::filesystem::path wholePath(const std::string& path);
// Creates the folder, and its parents where the platform does; returns its path.
std::string makeFolder(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// Names of every entry of the folder, hidden ones included, in the platform's order; and sorted, joined
// by blanks.
std::vector<std::string> namesIn(const std::string& folder);
std::string entriesOf(const std::string& folder);

// One transfer, started and completed at once: the failure of either step, or success.
inline Status transferNow(FileSystem& files, const std::string& source, const std::string& destination, Transfer how)
{
    if (Status started = files.startTransfer(source, destination, how); !started.ok()) {
        return started;
    }
    std::vector<Placed> outcomes = files.completeBatch();
    if (outcomes.size() != 1) {
        return Status::failure("completed " + std::to_string(outcomes.size()) + " transfers instead of one");
    }
    return outcomes.front().ok() ? Status() : Status::failure(outcomes.front());
}

} // namespace carrovex::testing
