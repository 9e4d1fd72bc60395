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

bool settled(int fd, std::chrono::seconds settleTime)
{
    struct stat info {
    };
    struct timespec now {
    };
    if (::fstat(fd, &info) != 0 || ::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return false;
    }
    // A time in the future (another machine's clock) is no proof of rest either.
    return info.st_mtim.tv_sec + settleTime.count() <= now.tv_sec;
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

FileUse checkUse(int fd, bool leaseSeesEveryWriter, std::chrono::seconds settleTime)
{
    ignoreLeaseBreakSignal();
    FileUse use;
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        use.leased = true;
        if (leaseSeesEveryWriter) {
            return use;
        }
    } else if (errno == EAGAIN) {
        use.state = FileUse::State::OpenForWriting;
        return use;
    }
    if (!settled(fd, settleTime)) {
        use.state = FileUse::State::RecentlyChanged;
    }
    return use;
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
