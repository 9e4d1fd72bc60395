#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/LeavingSource.h"
#include "platform/posix/PathParts.h"
#include "platform/posix/SystemError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

bool isPlainFile(int directoryFd, const dirent& entry)
{
    if (entry.d_name[0] == '.') {
        return false; // hidden, and our own staged copies
    }
    if (entry.d_type != DT_UNKNOWN) {
        return entry.d_type == DT_REG;
    }
    struct stat info {
    };
    return ::fstatat(directoryFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

// A batch keeps two descriptors per file open at most, while the sources of the batch before are closed;
// the soft limit is raised as far as allowed.
BatchLimits fittingOpenFiles(BatchLimits limits)
{
    constexpr rlim_t reserved = 64;
    struct rlimit open {
    };
    if (::getrlimit(RLIMIT_NOFILE, &open) != 0) {
        return limits;
    }
    if (open.rlim_cur < open.rlim_max) {
        open.rlim_cur = open.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &open);
        ::getrlimit(RLIMIT_NOFILE, &open);
    }
    const rlim_t perBatch = open.rlim_cur > 2 * reserved ? (open.rlim_cur - reserved) / 3 : 1;
    limits.files = std::min<std::size_t>(limits.files, perBatch);
    return limits;
}

// Source and destination times agree when equal, or when the destination's file system stores whole
// seconds only (FAT keeps even seconds) and they lie within two seconds.
bool sameTime(const struct stat& source, const struct stat& destination)
{
    if (source.st_mtim.tv_sec == destination.st_mtim.tv_sec && source.st_mtim.tv_nsec == destination.st_mtim.tv_nsec) {
        return true;
    }
    const auto difference = source.st_mtim.tv_sec - destination.st_mtim.tv_sec;
    return destination.st_mtim.tv_nsec == 0 && difference >= -2 && difference <= 2;
}

Result<bool> sameBytes(const std::string& first, const std::string& second)
{
    FileDescriptor a(::open(first.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    FileDescriptor b(::open(second.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (a.get() < 0 || b.get() < 0) {
        return Result<bool>::failure(lastErrorText());
    }
    constexpr std::size_t chunk = 1 << 20;
    const auto bufferA = std::make_unique<char[]>(chunk);
    const auto bufferB = std::make_unique<char[]>(chunk);
    for (;;) {
        const ssize_t gotA = ::read(a.get(), bufferA.get(), chunk);
        if (gotA < 0) {
            return Result<bool>::failure(lastErrorText());
        }
        ssize_t gotB = 0;
        while (gotB < gotA) {
            const ssize_t more = ::read(b.get(), bufferB.get() + gotB, static_cast<std::size_t>(gotA - gotB));
            if (more < 0) {
                return Result<bool>::failure(lastErrorText());
            }
            if (more == 0) {
                return false;
            }
            gotB += more;
        }
        if (std::memcmp(bufferA.get(), bufferB.get(), static_cast<std::size_t>(gotA)) != 0) {
            return false;
        }
        if (gotA == 0) {
            char extra = 0;
            return ::read(b.get(), &extra, 1) == 0;
        }
    }
}

} // namespace

PosixFileSystem::PosixFileSystem()
    : PosixFileSystem(BatchLimits {})
{
}

PosixFileSystem::PosixFileSystem(BatchLimits limits)
    : m_batch(fittingOpenFiles(limits))
{
}

std::string PosixFileSystem::joinPath(const std::string& folder, const std::string& name) const
{
    return folder + "/" + name;
}

Result<std::vector<std::string>> PosixFileSystem::listPlainFiles(const std::string& folder)
{
    using Listing = Result<std::vector<std::string>>;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory) {
        return Listing::failure(lastErrorText());
    }
    std::vector<std::string> names;
    std::vector<std::string> leftSources;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr) {
            if (errno != 0) {
                return Listing::failure(lastErrorText());
            }
            break;
        }
        if (isPlainFile(::dirfd(directory.get()), *entry)) {
            names.emplace_back(entry->d_name);
        } else if (isLeavingName(entry->d_name)) {
            leftSources.emplace_back(entry->d_name);
        }
    }
    for (std::string& name : restoreLeftSources(::dirfd(directory.get()), leftSources)) {
        names.push_back(std::move(name));
    }
    return names;
}

bool PosixFileSystem::folderExists(const std::string& path)
{
    struct stat info {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Result<bool> PosixFileSystem::fileExists(const std::string& path)
{
    struct stat info {
    };
    if (::lstat(path.c_str(), &info) == 0) {
        return !S_ISDIR(info.st_mode);
    }
    if (errno == ENOENT || errno == ENOTDIR) {
        return false;
    }
    return Result<bool>::failure(lastErrorText());
}

Result<bool> PosixFileSystem::sameFile(const std::string& first, const std::string& second)
{
    struct stat firstInfo {
    };
    struct stat secondInfo {
    };
    if (::stat(first.c_str(), &firstInfo) != 0 || ::stat(second.c_str(), &secondInfo) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        return Result<bool>::failure(lastErrorText());
    }
    if (firstInfo.st_dev == secondInfo.st_dev && firstInfo.st_ino == secondInfo.st_ino) {
        return true;
    }
    // Through another file system (a FUSE view of the folder, a share of it mounted here) one file shows
    // other device and inode numbers, but the same type, length and time.
    if ((firstInfo.st_mode & S_IFMT) != (secondInfo.st_mode & S_IFMT) || firstInfo.st_size != secondInfo.st_size
        || !sameTime(firstInfo, secondInfo)) {
        return false;
    }
    if (S_ISDIR(firstInfo.st_mode)) {
        return sameFolder(first, second);
    }
    if (nameOf(first) != nameOf(second)) {
        return false;
    }
    return sameFolder(folderOf(first), folderOf(second));
}

// A name created in the one folder shows in the other only when both are the same folder.
Result<bool> PosixFileSystem::sameFolder(const std::string& first, const std::string& second)
{
    const auto key = std::make_pair(first, second);
    if (const auto known = m_sameFolders.find(key); known != m_sameFolders.end()) {
        return known->second;
    }
    static std::atomic<unsigned> counter {0};
    const std::string name = ".carrovex-probe-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::string probe = second + "/" + name;
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return Result<bool>::failure(lastErrorText());
    }
    ::close(fd);
    struct stat info {
    };
    const bool same = ::lstat((first + "/" + name).c_str(), &info) == 0;
    ::unlink(probe.c_str());
    m_sameFolders[key] = same;
    return same;
}

Result<bool> PosixFileSystem::sameContent(const std::string& first, const std::string& second)
{
    struct stat firstInfo {
    };
    struct stat secondInfo {
    };
    if (::lstat(first.c_str(), &firstInfo) != 0 || ::lstat(second.c_str(), &secondInfo) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        return Result<bool>::failure(lastErrorText());
    }
    if (!S_ISREG(firstInfo.st_mode) || !S_ISREG(secondInfo.st_mode) || firstInfo.st_size != secondInfo.st_size
        || !sameTime(firstInfo, secondInfo)) {
        return false;
    }
    return sameBytes(first, second);
}

Result<std::int64_t> PosixFileSystem::fileLength(const std::string& path)
{
    struct stat info {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return Result<std::int64_t>::failure(lastErrorText());
    }
    return static_cast<std::int64_t>(info.st_size);
}

void PosixFileSystem::beginRun(const std::string& destinationFolder)
{
    m_batch.pin(destinationFolder);
}

Status PosixFileSystem::startTransfer(const std::string& source, const std::string& destination, Transfer how)
{
    return m_batch.add(source, destination, how);
}

void PosixFileSystem::reportProgress(ProgressReport report)
{
    m_batch.reportProgress(std::move(report));
}

bool PosixFileSystem::batchDue()
{
    return m_batch.due();
}

std::vector<Placed> PosixFileSystem::completeBatch()
{
    m_sameFolders.clear();
    return m_batch.complete();
}

} // namespace carrovex::posix
