#include "platform/posix/PosixTextFiles.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace carrovex::posix
{

namespace
{

// Settings and language files are a few KiB; anything far larger is not one of them.
constexpr off_t largestTextFile = off_t {16} << 20;

// Writing through a link replaces the file it points to, not the link.
std::string targetOf(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

} // namespace

Result<std::optional<std::string>> PosixTextFiles::readAll(const std::string& path)
{
    using Read = Result<std::optional<std::string>>;
    // Non-blocking, so that a FIFO under the file's name cannot hang the program.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {
    };
    if (fd.get() < 0 && errno == ENOENT) {
        return std::optional<std::string>();
    }
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        return Read::failure(lastErrorText());
    }
    if (!S_ISREG(info.st_mode) || info.st_size > largestTextFile) {
        return Read::failure(systemErrorText(EINVAL));
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0) {
            return std::optional<std::string>(std::move(content));
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Read::failure(lastErrorText());
        }
        content.append(buffer, static_cast<std::size_t>(got));
        if (static_cast<off_t>(content.size()) > largestTextFile) {
            return Read::failure(systemErrorText(EFBIG));
        }
    }
}

Status PosixTextFiles::replaceAll(const std::string& path, const std::string& content)
{
    const std::string target = targetOf(path);
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) {
        return Status::failure(lastErrorText());
    }
    struct stat existing {
    };
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    int error = writeAll(fd.get(), content.data(), content.size());
    if (error == 0 && (::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0)) {
        error = errno;
    }
    if (error == 0) {
        error = fd.close();
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Status::failure(systemErrorText(error));
    }
    return {};
}

// O_APPEND puts each write at the end, so that a write that a kill cuts short never lands mid-file.
Status PosixTextFiles::append(const std::string& path, const std::string& text)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        return Status::failure(lastErrorText());
    }
    int error = writeAll(fd.get(), text.data(), text.size());
    if (error == 0) {
        error = fd.close();
    }
    return error == 0 ? Status() : Status::failure(systemErrorText(error));
}

Result<std::uint64_t> PosixTextFiles::size(const std::string& path)
{
    struct stat info {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? Result<std::uint64_t>(0) : Result<std::uint64_t>::failure(lastErrorText());
    }
    return static_cast<std::uint64_t>(info.st_size);
}

Status PosixTextFiles::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? Status() : Status::failure(lastErrorText());
}

} // namespace carrovex::posix
