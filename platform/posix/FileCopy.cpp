#include "platform/posix/FileCopy.h"

#include "platform/posix/LeavingSource.h"
#include "platform/posix/SystemError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

constexpr std::string_view temporaryPrefix = ".carrovex-";
constexpr std::string_view temporarySuffix = ".tmp";
// Small enough that a large file's progress can be shown every second or so, even from a slow disk.
constexpr std::int64_t chunkBytes = std::int64_t {16} << 20;

std::string temporaryName()
{
    static std::atomic<unsigned> counter {0};
    char name[64];
    std::snprintf(name,
        sizeof name,
        "%.*s%d-%u%.*s",
        static_cast<int>(temporaryPrefix.size()),
        temporaryPrefix.data(),
        static_cast<int>(::getpid()),
        counter.fetch_add(1),
        static_cast<int>(temporarySuffix.size()),
        temporarySuffix.data());
    return name;
}

// Gives the unnamed file open as fd a name in the folder; fails with EEXIST on a taken name. Returns 0 or
// the errno of the failure. Through the descriptor itself where the kernel allows it (with the right to
// search any folder, or since Linux 6.10 for a file this process opened): the link of /proc/self/fd/N that
// works everywhere costs a walk through /proc, a third of the link.
int linkUnnamed(int fd, int folderFd, const char* name)
{
    static std::atomic<bool> byDescriptor {true};
    if (byDescriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", folderFd, name, AT_EMPTY_PATH) == 0) {
            return 0;
        }
        if (errno != ENOENT) {
            return errno;
        }
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, path.c_str(), folderFd, name, AT_SYMLINK_FOLLOW) != 0) {
        return errno;
    }
    // The descriptor itself was refused, not the name.
    byDescriptor.store(false, std::memory_order_relaxed);
    return 0;
}

int copyByReading(int in, int out, std::int64_t remaining, ThrottledProgress& progress)
{
    const std::int64_t length = remaining;
    // Sized to the file and left uninitialised: clearing a large buffer for every small file costs more
    // than copying it. At most 128 KiB, as cp reads: a 1 GiB copy onto a second ext4 took three times as
    // long, copy and flush, through a buffer of 1 MiB.
    const auto size = static_cast<std::size_t>(std::min<std::int64_t>(remaining, std::int64_t {128} << 10));
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    while (remaining > 0) {
        const auto wanted
            = static_cast<std::size_t>(std::min<std::int64_t>(remaining, static_cast<std::int64_t>(size)));
        const ssize_t got = ::read(in, buffer.get(), wanted);
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (const int error = writeAll(out, buffer.get(), static_cast<std::size_t>(got)); error != 0) {
            return error;
        }
        remaining -= got;
        progress.copied(length - remaining);
    }
    return 0;
}

// Copies the length the source had when it was opened, inside the kernel where it can; a file that keeps
// growing therefore cannot keep the copy going. Falls back to reading and writing only while nothing has
// been copied yet, so that a failure in the middle is reported rather than papered over.
int copyContent(int in, int out, std::int64_t length, ThrottledProgress& progress)
{
    std::int64_t remaining = length;
    while (remaining > 0) {
        const ssize_t copied = ::copy_file_range(
            in, nullptr, out, nullptr, static_cast<std::size_t>(std::min(remaining, chunkBytes)), 0);
        if (copied > 0) {
            remaining -= copied;
            progress.copied(length - remaining);
            continue;
        }
        if (copied == 0) {
            return 0; // shrank: the identity check tells
        }
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        const bool unsupported = error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL;
        if (unsupported && remaining == length) {
            return copyByReading(in, out, remaining, progress);
        }
        return error;
    }
    return 0;
}

// Permission bits and times that the file system cannot store (FAT, some FUSE file systems) are not a
// failure of the copy, as cp treats them; every other error is.
bool cannotStore(int error)
{
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL;
}

Result<StagedCopy> createStaging(int folderFd, mode_t permissions)
{
    // Unnamed where the file system allows: a kill leaves nothing, and linking it in later fails on a
    // taken name by itself. Nobody can open it meanwhile, so it may have its final permissions at once.
    int fd = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, permissions & 0777);
    if (fd >= 0) {
        return StagedCopy {FileDescriptor(fd), {}};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        return Result<StagedCopy>::failure(lastErrorText());
    }
    std::string name;
    do {
        name = temporaryName();
        fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
        return Result<StagedCopy>::failure(lastErrorText());
    }
    // The lock tells a later clean-up that this copy is still alive.
    ::flock(fd, LOCK_EX);
    return StagedCopy {FileDescriptor(fd), name};
}

int copyInto(int in, const struct stat& before, int out, ThrottledProgress& progress)
{
    if (const int error = copyContent(in, out, before.st_size, progress); error != 0) {
        return error;
    }
    struct stat after {
    };
    struct stat written {
    };
    if (::fstat(in, &after) != 0 || ::fstat(out, &written) != 0) {
        return errno;
    }
    if (identityFrom(after) != identityFrom(before) || written.st_size != before.st_size) {
        return -1;
    }
    const mode_t permissions = before.st_mode & 07777;
    if ((written.st_mode & 07777) != permissions && ::fchmod(out, permissions) != 0 && !cannotStore(errno)) {
        return errno;
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::futimens(out, times) != 0 && !cannotStore(errno)) {
        return errno;
    }
    return 0;
}

// Takes the place of the existing name atomically: the unnamed copy gets a hidden name of its own first.
int replaceWithUnnamed(StagedCopy& copy, int folderFd, const std::string& name)
{
    ::flock(copy.file.get(), LOCK_EX);
    std::string hidden;
    int error = 0;
    do {
        hidden = temporaryName();
        error = linkUnnamed(copy.file.get(), folderFd, hidden.c_str());
    } while (error == EEXIST);
    if (error != 0) {
        return error;
    }
    if (::renameat(folderFd, hidden.c_str(), folderFd, name.c_str()) != 0) {
        error = errno;
        ::unlinkat(folderFd, hidden.c_str(), 0);
        return error;
    }
    return 0;
}

} // namespace

FileIdentity identityFrom(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev),
        static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec),
        static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

Result<FileIdentity> identityOf(const std::string& path)
{
    struct stat info {
    };
    if (::lstat(path.c_str(), &info) != 0) {
        return Result<FileIdentity>::failure(lastErrorText());
    }
    return identityFrom(info);
}

Result<StagedCopy> stageCopy(int sourceFd, const struct stat& before, int folderFd, ThrottledProgress& progress)
{
    if (!S_ISREG(before.st_mode)) {
        return Result<StagedCopy>::failure(Problem::NotRegularFile);
    }
    Result<StagedCopy> created = createStaging(folderFd, before.st_mode);
    if (!created.ok()) {
        return created;
    }
    StagedCopy copy = std::move(created.value());
    if (const int error = copyInto(sourceFd, before, copy.file.get(), progress); error != 0) {
        discardCopy(copy, folderFd);
        return error < 0 ? Result<StagedCopy>::failure(Problem::ChangedWhileCopied)
                         : Result<StagedCopy>::failure(systemErrorText(error));
    }
    return copy;
}

void discardCopy(StagedCopy& copy, int folderFd)
{
    if (!copy.name.empty()) {
        ::unlinkat(folderFd, copy.name.c_str(), 0);
        copy.name.clear();
    }
    copy.file.reset();
}

int placeCopy(StagedCopy& copy, int folderFd, const std::string& name, bool replace)
{
    if (copy.name.empty()) {
        if (replace) {
            return replaceWithUnnamed(copy, folderFd, name);
        }
        return linkUnnamed(copy.file.get(), folderFd, name.c_str());
    }
    const int error = replace ? (::renameat(folderFd, copy.name.c_str(), folderFd, name.c_str()) == 0 ? 0 : errno)
                              : renameWithoutReplacing(folderFd, copy.name, folderFd, name);
    if (error == 0) {
        copy.name.clear();
    }
    return error;
}

int renameWithoutReplacing(int fromFolder, const std::string& from, int toFolder, const std::string& to)
{
    if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    // The file system refuses the flag: a hard link fails just as surely when the name is taken.
    if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) == 0) {
        if (::unlinkat(fromFolder, from.c_str(), 0) != 0) {
            error = errno;
            ::unlinkat(toFolder, to.c_str(), 0); // the second name of the same file; the file itself stays
            return error;
        }
        return 0;
    }
    error = errno;
    if (error != EPERM && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    // No hard links either (FAT and exFAT through FUSE): reserve the name, then rename over the reservation.
    const int reservation = ::openat(toFolder, to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (reservation < 0) {
        return errno;
    }
    ::close(reservation);
    if (::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) != 0) {
        error = errno;
        ::unlinkat(toFolder, to.c_str(), 0); // our own empty reservation
        return error;
    }
    return 0;
}

bool refusesName(int error)
{
    return error == EINVAL || error == ENOENT || error == EPERM || error == EILSEQ || error == ENAMETOOLONG;
}

void removeAbandonedCopies(const std::string& folder)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory) {
        return;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        // A source on its way out of a folder that is also a destination shares the prefix; it is no copy.
        if (!name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix) || isLeavingName(name)) {
            continue;
        }
        const std::string path = folder + "/" + std::string(name);
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {
        };
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlink(path.c_str());
        }
    }
}

} // namespace carrovex::posix
