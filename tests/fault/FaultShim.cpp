// Preloaded into the fault tests: makes a chosen system call fail, as a disk or a file system would,
// where the fault cannot be made for real. The fault is named by CARROVEX_FAULT at the moment of the call:
//   rename-flag-refused  renameat2 answers EINVAL (a file system without RENAME_NOREPLACE)
//   no-kernel-copy       copy_file_range answers ENOSYS before copying anything
//   io-error-mid-copy    copy_file_range copies 4 KiB, then answers EIO
//   source-grows         the source gains a byte at every kernel copy call, also one that is refused
//   source-shrinks       the source is cut to one byte before it is copied or read
//   close-fails          closing our temporary file answers EIO (as NFS may for a full disk)
//   slow-copy            copy_file_range copies 64 KiB per call, 2 ms each (a slow disk or network)
//   no-unnamed-files     open with O_TMPFILE answers EOPNOTSUPP (FUSE, FAT, network file systems)
//   unnamed-files-invalid  open with O_TMPFILE answers EINVAL (file systems that do not know the flag)
//   unnamed-files-unknown  open with O_TMPFILE answers EISDIR (kernels before 3.11, which take it for O_DIRECTORY)
//   folder-flush-fails   fsync of a folder answers EIO (a disk that could not write its names)
//   folder-flush-unsupported  fsync of a folder answers EOPNOTSUPP (FUSE without it)
//   no-hard-links        link and linkat answer EPERM (FAT and exFAT through FUSE)
//   no-descriptor-links  linkat of a descriptor itself (AT_EMPTY_PATH) answers ENOENT, as a kernel before
//                        Linux 6.10 does without the right to search every folder
//   chmod-refused        fchmod answers EPERM (FAT, which cannot store permission bits)
//   chmod-fails          fchmod answers EIO (a disk that could not write the file's inode)
//   times-fail           futimens answers EIO
//   read-fails           a read of a file of 666 bytes is interrupted by a signal (EINTR), then answers EIO
//   writeback-fails      syncfs answers EIO, and so does fdatasync for files of 666 bytes (a disk that lost
//                        their blocks after write() had succeeded)
//   destination-appears  just before a name is given to a copy, another program creates a file of that name
//   quota-exceeded       creating a named file answers EDQUOT (a user over the disk quota)
//   short-names          giving a file a name longer than 143 bytes answers ENAMETOOLONG (eCryptfs)
//   writer-at-folder-flush  when a folder is flushed, another program asks to open the file named by
//                        CARROVEX_WRITER for writing (which breaks a lease on it)
//   writer-at-removal    just before the file named by CARROVEX_WRITER leaves its name (removed, or renamed
//                        within its file system), another process opens it by that name for writing (waiting for any
//                        lease on it to be let go) and appends " and theirs"
//   replaced-at-removal  just before that moment, another program puts a new file ("theirs") at that name
//   taken-before-lock    just before the lock on the file named by CARROVEX_TAKEN is asked for, another
//                        program that locks nothing moves it away (to its name with ".taken" added)
//   taken-at-folder-flush  the same, when a folder is flushed: after the copy is placed
//   replaced-before-lock  as taken-before-lock, and the other program then writes a new file ("theirs")
//                        under the name
//   terminal-read-retried  every read of a terminal on standard input first answers EINTR (a signal came),
//                        then EAGAIN (a terminal that another program left non-blocking and read from first)
// Several faults are named separated by commas.
// CARROVEX_STOP_AT=call:n stops the process (SIGSTOP) just before its nth call of syncfs, fsync, linkat,
// renameat2 or unlink (unlinkat counts as unlink), so that a test can cut the power at that very moment.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

bool fault(const char* name)
{
    const char* active = std::getenv("CARROVEX_FAULT");
    return active != nullptr
        && (std::string(",") + active + ",").find(std::string(",") + name + ",") != std::string::npos;
}

// Where the call is to fail, sets errno as the system would.
bool failWith(bool failing, int error)
{
    if (failing) {
        errno = error;
    }
    return failing;
}

template <class Function> Function real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// The C library's own function of that name.
#define REAL(name) real<decltype(&::name)>(#name)

std::string pathOf(int fd)
{
    char target[4096];
    const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

bool isFolder(int fd)
{
    struct stat info {
    };
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

bool hasTheLengthOfTheFailingFile(int fd)
{
    struct stat info {
    };
    return ::fstat(fd, &info) == 0 && info.st_size == 666;
}

bool tooLongForShortNames(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return fault("short-names") && std::strlen(slash != nullptr ? slash + 1 : path) > 143;
}

// A rename between two file systems fails with EXDEV before the destination's file system sees the name.
bool withinOneFileSystem(int fromFolder, const char* from, int toFolder, const char* to)
{
    const std::string target = to;
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    struct stat fromInfo {
    };
    struct stat toInfo {
    };
    return ::fstatat(fromFolder, from, &fromInfo, AT_SYMLINK_NOFOLLOW) == 0
        && ::fstatat(toFolder, folder.c_str(), &toInfo, 0) == 0 && fromInfo.st_dev == toInfo.st_dev;
}

void stopBefore(const char* call)
{
    static std::map<std::string, int> calls;
    const char* stopAt = std::getenv("CARROVEX_STOP_AT");
    const std::string wanted = stopAt != nullptr ? stopAt : "";
    const auto colon = wanted.find(':');
    if (colon != std::string::npos && wanted.substr(0, colon) == call
        && ++calls[call] == std::atoi(wanted.c_str() + colon + 1)) {
        ::raise(SIGSTOP);
    }
}

// Another program writes its own file of that name (with O_EXCL: where there is one, it does nothing).
void anotherProgramWrites(int folder, const char* name)
{
    const int fd = REAL(openat)(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t ignored = ::write(fd, "theirs", 6);
        REAL(close)(fd);
    }
}

// Another program writes a file under the name that a copy is about to get.
void anotherProgramCreates(int folder, const char* name)
{
    if (fault("destination-appears") && std::strncmp(name, ".carrovex-", 10) != 0) {
        anotherProgramWrites(folder, name);
    }
}

// When the fault is active, the file named by CARROVEX_TAKEN goes to another program; `file` may name
// the very file, or no path at all.
void anotherProgramTakes(const char* name, const std::string& file = {})
{
    const char* taken = std::getenv("CARROVEX_TAKEN");
    if (fault(name) && taken != nullptr && (file.empty() || file == taken)) {
        REAL(renameat)(AT_FDCWD, taken, AT_FDCWD, (std::string(taken) + ".taken").c_str());
    }
}

// Waits until the process is blocked in open (held by a lease) or has ended: only a blocked process shows
// its call's number.
void waitUntilOpenWaitsOrEnds(pid_t process)
{
    const std::string syscall = "/proc/" + std::to_string(process) + "/syscall";
    for (int tries = 0; tries < 5000 && ::waitpid(process, nullptr, WNOHANG) != process; ++tries) {
        char call[16] = {};
        FILE* file = std::fopen(syscall.c_str(), "r");
        const bool read = file != nullptr && std::fgets(call, sizeof call, file) != nullptr;
        if (file != nullptr) {
            std::fclose(file);
        }
        if (read && std::atoi(call) == SYS_openat) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The whole path of `path` taken from the folder open as `folder`.
std::string pathFrom(int folder, const char* path)
{
    return folder == AT_FDCWD || path[0] == '/' ? std::string(path) : pathOf(folder) + "/" + path;
}

void beforeLeavingItsName(int folder, const char* path)
{
    const char* named = std::getenv("CARROVEX_WRITER");
    if (named == nullptr || pathFrom(folder, path) != named) {
        return;
    }
    if (fault("replaced-at-removal")) {
        const std::string fresh = std::string(named) + ".new";
        anotherProgramWrites(AT_FDCWD, fresh.c_str());
        REAL(renameat)(AT_FDCWD, fresh.c_str(), AT_FDCWD, named);
    }
    if (fault("writer-at-removal")) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            const int file = REAL(openat)(AT_FDCWD, named, O_WRONLY | O_APPEND | O_CLOEXEC, 0);
            if (file >= 0 && ::write(file, " and theirs", 11) == 11) {
                REAL(close)(file);
            }
            ::_exit(0);
        }
        waitUntilOpenWaitsOrEnds(writer);
    }
}

int copyCalls = 0;

} // namespace

extern "C" int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned int flags)
{
    const bool within = withinOneFileSystem(olddirfd, oldpath, newdirfd, newpath);
    if (failWith(fault("rename-flag-refused"), EINVAL)
        || failWith(within && tooLongForShortNames(newpath), ENAMETOOLONG)) {
        return -1;
    }
    stopBefore("renameat2");
    if (within) {
        beforeLeavingItsName(olddirfd, oldpath);
    }
    anotherProgramCreates(newdirfd, newpath);
    return REAL(renameat2)(olddirfd, oldpath, newdirfd, newpath, flags);
}

extern "C" ssize_t copy_file_range(
    int in, off64_t* inOffset, int out, off64_t* outOffset, size_t length, unsigned int flags)
{
    if (fault("source-shrinks")) {
        [[maybe_unused]] const int ignored = ::truncate(pathOf(in).c_str(), 1);
    }
    const bool midCopy = fault("io-error-mid-copy");
    if (failWith(fault("no-kernel-copy"), ENOSYS) || failWith(midCopy && copyCalls++ % 2 == 1, EIO)) {
        return -1;
    }
    if (fault("slow-copy")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const size_t chunk = midCopy ? 4096 : fault("slow-copy") ? 65536 : length;
    const ssize_t copied = REAL(copy_file_range)(in, inOffset, out, outOffset, std::min(length, chunk), flags);
    if (fault("source-grows")) {
        const int writer = ::open(pathOf(in).c_str(), O_WRONLY | O_APPEND);
        if (writer >= 0) {
            [[maybe_unused]] const ssize_t ignored = ::write(writer, "+", 1);
            REAL(close)(writer);
        }
    }
    return copied;
}

extern "C" int close(int fd)
{
    const bool failing = fault("close-fails") && pathOf(fd).find("/.carrovex-") != std::string::npos;
    const int result = REAL(close)(fd);
    return failWith(failing && result == 0, EIO) ? -1 : result;
}

extern "C" int openat(int folder, const char* path, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    const bool created = (flags & O_CREAT) != 0;
    if (failWith(unnamed && fault("no-unnamed-files"), EOPNOTSUPP)
        || failWith(unnamed && fault("unnamed-files-invalid"), EINVAL)
        || failWith(unnamed && fault("unnamed-files-unknown"), EISDIR)
        || failWith(created && fault("quota-exceeded"), EDQUOT)
        || failWith(created && tooLongForShortNames(path), ENAMETOOLONG)) {
        return -1;
    }
    return REAL(openat)(folder, path, flags, mode);
}

extern "C" int linkat(int oldFolder, const char* oldPath, int newFolder, const char* newPath, int flags)
{
    if (failWith(fault("no-hard-links"), EPERM)
        || failWith(fault("no-descriptor-links") && (flags & AT_EMPTY_PATH) != 0, ENOENT)
        || failWith(tooLongForShortNames(newPath), ENAMETOOLONG)) {
        return -1;
    }
    stopBefore("linkat");
    anotherProgramCreates(newFolder, newPath);
    return REAL(linkat)(oldFolder, oldPath, newFolder, newPath, flags);
}

extern "C" int link(const char* oldPath, const char* newPath)
{
    return linkat(AT_FDCWD, oldPath, AT_FDCWD, newPath, 0);
}

extern "C" int fchmod(int fd, mode_t mode)
{
    return failWith(fault("chmod-refused"), EPERM) || failWith(fault("chmod-fails"), EIO) ? -1 : REAL(fchmod)(fd, mode);
}

extern "C" int futimens(int fd, const struct timespec times[2])
{
    return failWith(fault("times-fail"), EIO) ? -1 : REAL(futimens)(fd, times);
}

extern "C" int syncfs(int fd)
{
    stopBefore("syncfs");
    return failWith(fault("writeback-fails"), EIO) ? -1 : REAL(syncfs)(fd);
}

extern "C" int fdatasync(int fd)
{
    return failWith(fault("writeback-fails") && hasTheLengthOfTheFailingFile(fd), EIO) ? -1 : REAL(fdatasync)(fd);
}

extern "C" int renameat(int oldFolder, const char* oldPath, int newFolder, const char* newPath)
{
    if (failWith(tooLongForShortNames(newPath) && withinOneFileSystem(oldFolder, oldPath, newFolder, newPath),
            ENAMETOOLONG)) {
        return -1;
    }
    anotherProgramCreates(newFolder, newPath);
    return REAL(renameat)(oldFolder, oldPath, newFolder, newPath);
}

extern "C" int rename(const char* oldPath, const char* newPath)
{
    return renameat(AT_FDCWD, oldPath, AT_FDCWD, newPath);
}

extern "C" int flock(int fd, int operation)
{
    anotherProgramTakes("taken-before-lock", pathOf(fd));
    const char* taken = std::getenv("CARROVEX_TAKEN");
    if (fault("replaced-before-lock") && taken != nullptr && pathOf(fd) == taken) {
        REAL(renameat)(AT_FDCWD, taken, AT_FDCWD, (std::string(taken) + ".taken").c_str());
        anotherProgramWrites(AT_FDCWD, taken);
    }
    return REAL(flock)(fd, operation);
}

extern "C" int fsync(int fd)
{
    stopBefore("fsync");
    if (!isFolder(fd)) {
        return REAL(fsync)(fd);
    }
    anotherProgramTakes("taken-at-folder-flush");
    const char* written = std::getenv("CARROVEX_WRITER");
    if (fault("writer-at-folder-flush") && written != nullptr) {
        // Without blocking: the open fails while a lease is held, and the lease is broken all the same.
        const int writer = REAL(openat)(AT_FDCWD, written, O_WRONLY | O_NONBLOCK | O_CLOEXEC, 0);
        if (writer >= 0) {
            REAL(close)(writer);
        }
    }
    return failWith(fault("folder-flush-fails"), EIO) || failWith(fault("folder-flush-unsupported"), EOPNOTSUPP)
        ? -1
        : REAL(fsync)(fd);
}

extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    static int calls = 0;
    if (fd == STDIN_FILENO && fault("terminal-read-retried") && ::isatty(fd) != 0 && calls++ % 3 != 2) {
        errno = calls % 3 == 1 ? EINTR : EAGAIN;
        return -1;
    }
    static bool interrupted = false;
    if (fault("read-fails") && hasTheLengthOfTheFailingFile(fd)) {
        interrupted = !interrupted;
        errno = interrupted ? EINTR : EIO;
        return -1;
    }
    return REAL(read)(fd, buffer, size);
}

extern "C" int unlinkat(int folder, const char* path, int flags)
{
    stopBefore("unlink");
    beforeLeavingItsName(folder, path);
    return REAL(unlinkat)(folder, path, flags);
}

extern "C" int unlink(const char* path)
{
    return unlinkat(AT_FDCWD, path, 0);
}
