#pragma once

#include "platform/posix/TransferBatch.h"
#include "tests/DiskHelpers.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace carrovex::testing
{

// A file system mounted by outside tools for the test's life (a FUSE view, a disk image), by a shell command
// that mounts it at path() and one that takes it away again. Needs root and the tools; where it could not be
// made, mounted() is false and missing() says what was missing.
class ToolMount
{
public:
    ToolMount(const std::string& where, const std::string& tool, const std::string& mount, const std::string& unmount);
    ToolMount(const ToolMount&) = delete;
    ToolMount& operator=(const ToolMount&) = delete;
    ~ToolMount();

    bool mounted() const
    {
        return m_mounted;
    }
    const std::string& path() const
    {
        return m_path;
    }
    std::string missing() const;

private:
    std::string m_path;
    std::string m_tool;
    std::string m_unmount;
    bool m_mounted = false;
};

// The entry's own state, not that of what a link names; all zero where there is none.
struct stat statOf(const std::string& path);
// Runs the shell command with its output thrown away; true where it succeeded.
bool shell(const std::string& command);

// A small tmpfs mounted for the test's life: a second file system, or a disk that fills up.
class TmpfsMount : public ToolMount
{
public:
    TmpfsMount(const std::string& where, const std::string& size);
};

// Skips the test, saying why, where the file system could not be mounted.
#define SKIP_UNLESS_MOUNTED(disk)                                                                                      \
    if (!(disk).mounted())                                                                                             \
    GTEST_SKIP() << (disk).missing()

// A view of the folder through FUSE (bindfs), as a share of it mounted on the same machine would be.
std::string bindfsView(const std::string& folder, const std::string& view);
// An exFAT image (32 MiB) mounted through FUSE, as exfat-fuse mounts a USB stick; image is its file.
std::string exfatThroughFuse(const std::string& image, const std::string& where);
// A FAT image (32 MiB) mounted through FUSE (fusefat).
std::string fatThroughFuse(const std::string& image, const std::string& where);
// Unmounts a FUSE file system, and for exFAT also lets its image's loop device go.
std::string unmountFuse(const std::string& where, const std::string& image = {});

// The settle time of the tests' file systems: long enough to tell a file written moments ago, short enough
// to wait for.
inline constexpr std::chrono::milliseconds testSettleTime {500};
inline constexpr posix::BatchLimits settlingQuickly {.settleTime = testSettleTime};
// Waits until nothing has changed the file for the settle time, as for a file that nobody has written for
// a while.
void settleFile(const std::string& path, std::chrono::milliseconds settleTime = testSettleTime);
// Runs the check in a child process as an unprivileged user (root reads and writes everything, so
// permissions can only be tested without it), by default nobody; true when the check returned true.
bool asUnprivilegedUser(const std::function<bool()>& check, unsigned userId = 65534);

} // namespace carrovex::testing
