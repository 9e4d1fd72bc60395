#include "tests/posix/DiskFixtures.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace carrovex::testing
{

namespace fs = std::filesystem;

std::filesystem::path nativePath(const std::string& path)
{
    return path;
}

std::filesystem::path wholePath(const std::string& path)
{
    return path;
}

std::string utf8Path(const std::filesystem::path& path)
{
    return path.string();
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::string makeFolder(const std::string& path)
{
    fs::create_directories(path);
    return path;
}

bool shell(const std::string& command)
{
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

ToolMount::ToolMount(
    const std::string& where, const std::string& tool, const std::string& mount, const std::string& unmount)
    : m_path(where)
    , m_tool(tool)
    , m_unmount(unmount)
{
    fs::create_directories(where);
    m_mounted = ::geteuid() == 0 && shell("command -v " + tool) && shell(mount);
}

ToolMount::~ToolMount()
{
    if (m_mounted) {
        shell(m_unmount);
    }
}

std::string ToolMount::missing() const
{
    return ::geteuid() != 0 ? "needs root" : "needs " + m_tool + " and /dev/fuse (scripts/install-test-deps.sh)";
}

TmpfsMount::TmpfsMount(const std::string& where, const std::string& size)
    : ToolMount(
        where, "mount", "mount -t tmpfs -o size=" + size + " tmpfs '" + where + "'", "umount -l '" + where + "'")
{
}

namespace
{

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

} // namespace

std::string bindfsView(const std::string& folder, const std::string& view)
{
    return "bindfs " + quoted(folder) + " " + quoted(view);
}

std::string exfatThroughFuse(const std::string& image, const std::string& where)
{
    // exfat-fuse wants a block device.
    return "truncate -s 32M " + quoted(image) + " && mkfs.exfat " + quoted(image) + " && losetup -f --show "
        + quoted(image) + " > " + quoted(image + ".loop") + " && mount.exfat-fuse \"$(cat " + quoted(image + ".loop")
        + ")\" " + quoted(where);
}

std::string fatThroughFuse(const std::string& image, const std::string& where)
{
    return "truncate -s 32M " + quoted(image) + " && mkfs.vfat " + quoted(image) + " && fusefat -o rw+ " + quoted(image)
        + " " + quoted(where);
}

std::string unmountFuse(const std::string& where, const std::string& image)
{
    const std::string unmount = "(fusermount -u " + quoted(where) + " || umount -l " + quoted(where) + ")";
    if (image.empty()) {
        return unmount;
    }
    return unmount + "; losetup -d \"$(cat " + quoted(image + ".loop") + ")\"";
}

struct stat statOf(const std::string& path)
{
    struct stat info {
    };
    ::lstat(path.c_str(), &info);
    return info;
}

bool exists(const std::string& path)
{
    struct stat info {
    };
    return ::lstat(path.c_str(), &info) == 0;
}

void settleFile(const std::string& path, std::chrono::milliseconds settleTime)
{
    struct stat info {
    };
    struct timespec now {
    };
    if (::lstat(path.c_str(), &info) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return;
    }
    const auto changed = std::chrono::seconds(info.st_ctim.tv_sec) + std::chrono::nanoseconds(info.st_ctim.tv_nsec);
    const auto rested = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec) - changed;
    if (rested <= settleTime) {
        std::this_thread::sleep_for(settleTime - rested + std::chrono::milliseconds(10));
    }
}

bool asUnprivilegedUser(const std::function<bool()>& check, unsigned userId)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(userId) != 0 || ::setuid(userId) != 0)) {
            ::_exit(2);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace carrovex::testing
