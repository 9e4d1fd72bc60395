#include "platform/posix/PosixDriveTable.h"

#include "platform/posix/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

// Mount points in the mount table escape blanks and a few other bytes as octal (\040).
std::string unescapeMountPoint(const std::string& field)
{
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2])
            && isOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

using Mount = PosixDriveTable::Mount;

// After the mount point come the options, optional fields up to "-", the type and the source.
std::vector<Mount> parseMountInfo(const std::string& text)
{
    std::vector<Mount> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (!(fields >> id >> parent >> device >> root >> mountPoint)) {
            continue;
        }
        Mount mount {unescapeMountPoint(mountPoint), device, {}, {}};
        for (std::string field; fields >> field && field != "-";) { }
        fields >> mount.type >> mount.source;
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

std::string deviceText(dev_t device)
{
    return std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

// The name under /dev/disk/by-uuid that leads to the block device, if any.
std::string uuidOf(const std::string& source)
{
    struct stat device {
    };
    if (::stat(source.c_str(), &device) != 0 || !S_ISBLK(device.st_mode)) {
        return {};
    }
    const std::string folder = "/dev/disk/by-uuid";
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) {
        return {};
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        struct stat linked {
        };
        if (entry->d_name[0] != '.' && ::stat((folder + "/" + entry->d_name).c_str(), &linked) == 0
            && S_ISBLK(linked.st_mode) && linked.st_rdev == device.st_rdev) {
            return entry->d_name;
        }
    }
    return {};
}

// The file system's own id as statfs gives it: from its UUID on ext4, xfs and btrfs, new at each mount of a
// tmpfs. It tells apart two disks that were given the same device one after the other (a loop device, sdb).
std::string fileSystemId(const std::string& path)
{
    struct statfs info {
    };
    if (::statfs(path.c_str(), &info) != 0) {
        return "?";
    }
    char text[2 * 8 + 2];
    std::snprintf(text,
        sizeof text,
        "%08x%08x",
        static_cast<unsigned>(info.f_fsid.__val[0]),
        static_cast<unsigned>(info.f_fsid.__val[1]));
    return text;
}

std::string fileSystemWord(const Mount& mount, const std::string& path)
{
    if (mount.source.starts_with("/dev/")) {
        if (const std::string uuid = uuidOf(unescapeMountPoint(mount.source)); !uuid.empty()) {
            return "uuid:" + uuid;
        }
    } else if (mount.source.find(':') != std::string::npos || mount.source.starts_with("//")) {
        // A share keeps its name over new mounts, which give it another device number.
        return mount.type + ":" + mount.source;
    }
    return "dev:" + mount.device + ":" + mount.type + ":" + fileSystemId(path);
}

// Without the mount table: the topmost folder above the path on the same device.
std::string rootOfDevice(const std::string& fullPath, dev_t device)
{
    std::string root = fullPath;
    while (root != "/") {
        const auto slash = root.rfind('/');
        const std::string parent = slash == 0 ? "/" : root.substr(0, slash);
        struct stat info {
        };
        if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) {
            break;
        }
        root = parent;
    }
    return root;
}

bool isUnder(const std::string& path, const std::string& mountPoint)
{
    if (mountPoint == "/") {
        return true;
    }
    return path.compare(0, mountPoint.size(), mountPoint) == 0
        && (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

} // namespace

PosixDriveTable::PosixDriveTable()
    : m_mountInfo(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC))
{
}

PosixDriveTable::~PosixDriveTable()
{
    if (m_mountInfo >= 0) {
        ::close(m_mountInfo);
    }
}

// The table is read again only when the kernel signals that the mounts changed, and the kernel is asked
// at most once per look period, so that asking for the drive of every file of a run costs no system call.
// Fresh, the kernel is asked now.
const std::vector<Mount>& PosixDriveTable::mounts(bool fresh)
{
    if (m_mountInfo < 0) {
        return m_mounts;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_loaded && now < m_nextLook && !fresh) {
        return m_mounts;
    }
    m_nextLook = now + lookPeriod;
    pollfd watch {m_mountInfo, POLLPRI, 0};
    const bool changed = ::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLPRI | POLLERR)) != 0;
    if (m_loaded && !changed) {
        return m_mounts;
    }
    std::string text;
    char buffer[8192];
    ::lseek(m_mountInfo, 0, SEEK_SET);
    for (ssize_t got; (got = ::read(m_mountInfo, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    m_mounts = parseMountInfo(text);
    m_loaded = true;
    return m_mounts;
}

const Mount* PosixDriveTable::mountOf(const std::string& fullPath, bool fresh)
{
    const Mount* best = nullptr;
    for (const Mount& mount : mounts(fresh)) {
        // The longest mount point wins; of equal ones the later, which was mounted on top.
        if (isUnder(fullPath, mount.point) && (best == nullptr || mount.point.size() >= best->point.size())) {
            best = &mount;
        }
    }
    return best;
}

Result<std::string> PosixDriveTable::driveName(const std::string& path)
{
    if (path.empty()) {
        return std::string();
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return std::string(); // the path names nothing
    }
    const Mount* mount = mountOf(resolved, false);
    return mount == nullptr ? std::string() : mount->point;
}

DriveSpace PosixDriveTable::freeSpace(const std::string& drive)
{
    const std::vector<Mount>& known = mounts();
    const auto named = [&drive](const Mount& mount) { return mount.point == drive; };
    if (drive.empty() || std::none_of(known.begin(), known.end(), named)) {
        return {DriveSpace::State::NoDrive, 0};
    }
    struct statvfs info {
    };
    if (::statvfs(drive.c_str(), &info) != 0) {
        return {DriveSpace::State::QueryFailed, 0};
    }
    return {DriveSpace::State::Known, static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize};
}

Result<DiskIdentity> PosixDriveTable::diskIdentity(const std::string& folder)
{
    char resolved[PATH_MAX];
    struct stat info {
    };
    if (::realpath(folder.c_str(), resolved) == nullptr || ::stat(resolved, &info) != 0) {
        return Result<DiskIdentity>::failure(lastErrorText());
    }
    // The table may not have caught up with a mount of the last moment: the folder's own device decides.
    const std::string device = deviceText(info.st_dev);
    for (const bool fresh : {false, true}) {
        if (const Mount* mount = mountOf(resolved, fresh); mount != nullptr && mount->device == device) {
            return DiskIdentity {fileSystemWord(*mount, resolved), mount->point};
        }
    }
    return DiskIdentity {"dev:" + device + ":" + fileSystemId(resolved), rootOfDevice(resolved, info.st_dev)};
}

} // namespace carrovex::posix
