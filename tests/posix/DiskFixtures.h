#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <string>

namespace carrovex::testing
{

// A fresh folder under the system's temporary folder, removed with everything in it.
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

// A small tmpfs mounted for the test's life: a second file system, or a disk that fills up. Needs root;
// mounted() is false where it could not be made.
class TmpfsMount
{
public:
    TmpfsMount(const std::string& where, const std::string& size);
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    ~TmpfsMount();

    bool mounted() const
    {
        return m_mounted;
    }
    const std::string& path() const
    {
        return m_path;
    }

private:
    std::string m_path;
    bool m_mounted = false;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// Dates the file's modification a minute back, as for a file that nobody has written for a while.
void settleFile(const std::string& path);
// Names of every entry of the folder, hidden ones included, sorted.
std::string entriesOf(const std::string& folder);

// One transfer, started and completed at once: the failure of either step, or success.
Status transferNow(FileSystem& files, const std::string& source, const std::string& destination, Transfer how);

// Runs the check in a child process as an unprivileged user (root reads and writes everything, so
// permissions can only be tested without it); true when the check returned true.
bool asUnprivilegedUser(const std::function<bool()>& check);

} // namespace carrovex::testing
