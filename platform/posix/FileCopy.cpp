#include "platform/posix/FileCopy.h"

#include "platform/posix/FileDescriptor.h"
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
#include <vector>

namespace carrovex::posix
{

namespace
{

constexpr std::string_view temporaryPrefix = ".carrovex-";
constexpr std::string_view temporarySuffix = ".tmp";
constexpr const char* notRegularText = "Not a regular file";
constexpr const char* changedText = "The file changed while it was copied";
constexpr std::int64_t chunkBytes = std::int64_t {1} << 30;

FileIdentity identityFrom(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev),
        static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec),
        static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

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

int copyByReading(int in, int out, std::int64_t remaining)
{
    std::vector<char> buffer(1 << 20);
    while (remaining > 0) {
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(remaining, std::ssize(buffer)));
        const ssize_t got = ::read(in, buffer.data(), wanted);
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (const int error = writeAll(out, buffer.data(), static_cast<std::size_t>(got)); error != 0) {
            return error;
        }
        remaining -= got;
    }
    return 0;
}

// Copies the length the source had when it was opened, inside the kernel where it can; a file that keeps
// growing therefore cannot keep the copy going. Falls back to reading and writing only while nothing has
// been copied yet, so that a failure in the middle is reported rather than papered over.
int copyContent(int in, int out, std::int64_t length)
{
    std::int64_t remaining = length;
    while (remaining > 0) {
        const ssize_t copied = ::copy_file_range(
            in, nullptr, out, nullptr, static_cast<std::size_t>(std::min(remaining, chunkBytes)), 0);
        if (copied > 0) {
            remaining -= copied;
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
            return copyByReading(in, out, remaining);
        }
        return error;
    }
    return 0;
}

Result<StagedCopy> copyInto(int in, const struct stat& before, const std::string& temporaryPath, FileDescriptor& out)
{
    const auto failure = [](int error) { return Result<StagedCopy>::failure(systemErrorText(error)); };
    if (const int error = copyContent(in, out.get(), before.st_size); error != 0) {
        return failure(error);
    }
    struct stat after {
    };
    if (::fstat(in, &after) != 0) {
        return failure(errno);
    }
    struct stat written {
    };
    if (::fstat(out.get(), &written) != 0) {
        return failure(errno);
    }
    if (identityFrom(after) != identityFrom(before) || written.st_size != before.st_size) {
        return Result<StagedCopy>::failure(changedText);
    }
    if (::fchmod(out.get(), before.st_mode & 07777) != 0) {
        return failure(errno);
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::futimens(out.get(), times) != 0) {
        return failure(errno);
    }
    if (const int error = out.close(); error != 0) {
        return failure(error);
    }
    return StagedCopy {temporaryPath, identityFrom(before)};
}

} // namespace

Result<FileIdentity> identityOf(const std::string& path)
{
    struct stat info {
    };
    if (::lstat(path.c_str(), &info) != 0) {
        return Result<FileIdentity>::failure(lastErrorText());
    }
    return identityFrom(info);
}

Result<StagedCopy> stageCopy(const std::string& source, const std::string& folder)
{
    // No-follow and non-blocking: a link is never read through, and a FIFO put in place of a listed file
    // cannot block the run; the type check below refuses it.
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0) {
        return Result<StagedCopy>::failure(lastErrorText());
    }
    struct stat before {
    };
    if (::fstat(in.get(), &before) != 0) {
        return Result<StagedCopy>::failure(lastErrorText());
    }
    if (!S_ISREG(before.st_mode)) {
        return Result<StagedCopy>::failure(notRegularText);
    }

    std::string temporaryPath;
    int fd = -1;
    do {
        temporaryPath = folder + "/" + temporaryName();
        fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
        return Result<StagedCopy>::failure(lastErrorText());
    }
    FileDescriptor out(fd);
    // The lock tells a later clean-up that this copy is still alive.
    ::flock(out.get(), LOCK_EX);

    Result<StagedCopy> staged = copyInto(in.get(), before, temporaryPath, out);
    if (!staged.ok()) {
        ::unlink(temporaryPath.c_str());
    }
    return staged;
}

int renameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    // The file system refuses the flag: a hard link fails just as surely when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    if (::unlink(from.c_str()) != 0) {
        const int unlinkError = errno;
        ::unlink(to.c_str()); // the second name of the same file; the file itself stays
        return unlinkError;
    }
    return 0;
}

Status placeCopy(const std::string& temporaryPath, const std::string& destination, bool replace)
{
    const int error = replace ? (::rename(temporaryPath.c_str(), destination.c_str()) == 0 ? 0 : errno)
                              : renameWithoutReplacing(temporaryPath, destination);
    if (error != 0) {
        ::unlink(temporaryPath.c_str());
        return Status::failure(systemErrorText(error));
    }
    return {};
}

void removeAbandonedCopies(const std::string& folder)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory) {
        return;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix)) {
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
