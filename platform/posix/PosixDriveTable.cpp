#include "platform/posix/PosixDriveTable.h"

#include "platform/posix/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/statvfs.h>
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

std::vector<std::string> parseMountInfo(const std::string& text)
{
    std::vector<std::string> points;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (fields >> id >> parent >> device >> root >> mountPoint) {
            points.push_back(unescapeMountPoint(mountPoint));
        }
    }
    return points;
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
const std::vector<std::string>& PosixDriveTable::mountPoints()
{
    if (m_mountInfo < 0) {
        return m_mountPoints;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_loaded && now < m_nextLook) {
        return m_mountPoints;
    }
    m_nextLook = now + lookPeriod;
    pollfd watch {m_mountInfo, POLLPRI, 0};
    const bool changed = ::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLPRI | POLLERR)) != 0;
    if (m_loaded && !changed) {
        return m_mountPoints;
    }
    std::string text;
    char buffer[8192];
    ::lseek(m_mountInfo, 0, SEEK_SET);
    for (ssize_t got; (got = ::read(m_mountInfo, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    m_mountPoints = parseMountInfo(text);
    m_loaded = true;
    return m_mountPoints;
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
    const std::string full = resolved;
    std::string best;
    for (const std::string& point : mountPoints()) {
        // The longest mount point wins; of equal ones the later, which was mounted on top.
        if (isUnder(full, point) && point.size() >= best.size()) {
            best = point;
        }
    }
    return best;
}

DriveSpace PosixDriveTable::freeSpace(const std::string& drive)
{
    const std::vector<std::string>& points = mountPoints();
    if (drive.empty() || std::find(points.begin(), points.end(), drive) == points.end()) {
        return {DriveSpace::State::NoDrive, 0};
    }
    struct statvfs info {
    };
    if (::statvfs(drive.c_str(), &info) != 0) {
        return {DriveSpace::State::QueryFailed, 0};
    }
    return {DriveSpace::State::Known, static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize};
}

} // namespace carrovex::posix
