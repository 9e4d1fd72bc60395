#include "platform/posix/FileUse.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <linux/magic.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace carrovex::posix
{

namespace
{

// A writer that wants a leased file makes the kernel send SIGIO, whose default ends the program; the lease's
// state is asked for where it matters instead.
void ignoreLeaseBreakSignal()
{
    static std::once_flag done;
    std::call_once(done, [] {
        struct sigaction action {
        };
        action.sa_handler = SIG_IGN;
        ::sigaction(SIGIO, &action, nullptr);
    });
}

std::int64_t nanoseconds(const struct timespec& time)
{
    return std::int64_t {time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}

// Asks the change time, and where no lease sees this machine's writers, the other processes' open files.
FileUse byChangeTime(int fd, std::chrono::milliseconds settleTime, OtherWriters* writers, const FileUse& earlier)
{
    FileUse use;
    struct stat info {
    };
    struct timespec now {
    };
    if (::fstat(fd, &info) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        use.state = FileUse::State::RecentlyChanged;
        return use;
    }
    use.changedAt = nanoseconds(info.st_ctim);
    if (writers != nullptr
        && writers->writing(static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino))) {
        use.state = FileUse::State::OpenForWriting;
        return use;
    }
    const auto rested = std::chrono::nanoseconds(nanoseconds(now) - *use.changedAt);
    // A change time in the future (a clock set back, another machine's clock) is no proof of rest either.
    if (rested < settleTime || (earlier.changedAt && earlier.changedAt != use.changedAt)) {
        use.state = FileUse::State::RecentlyChanged;
    }
    return use;
}

} // namespace

bool storedBeyondKernel(int fd)
{
    constexpr unsigned long fuse = 0x65735546;
    constexpr unsigned long cifs = 0xFF534D42;
    constexpr unsigned long smb2 = 0xFE534D42;
    constexpr unsigned long ninep = 0x01021997;
    constexpr unsigned long ceph = 0x00C36400;
    struct statfs info {
    };
    if (::fstatfs(fd, &info) != 0) {
        return true;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
    case fuse:
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case cifs:
    case smb2:
    case ninep:
    case ceph:
        return true;
    default:
        return false;
    }
}

FileUse checkUse(int fd,
    bool leaseSeesEveryWriter,
    std::chrono::milliseconds settleTime,
    OtherWriters& writers,
    const FileUse& earlier)
{
    ignoreLeaseBreakSignal();
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        if (leaseSeesEveryWriter) {
            return {.leased = true};
        }
        // Its lease sees this machine's writers; another machine's show only in the change time.
        FileUse use = byChangeTime(fd, settleTime, nullptr, earlier);
        use.leased = true;
        return use;
    }
    if (errno == EAGAIN) {
        return {.state = FileUse::State::OpenForWriting};
    }
    return byChangeTime(fd, settleTime, &writers, earlier);
}

void letLeaseGo(int fd)
{
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
}

bool leaseUnbroken(int fd)
{
    return ::fcntl(fd, F_GETLEASE) == F_RDLCK;
}

Problem useProblem(const FileUse& use)
{
    return use.state == FileUse::State::OpenForWriting ? Problem::OpenForWriting : Problem::RecentlyChanged;
}

} // namespace carrovex::posix
