// Preloaded into the fault tests: makes a chosen system call fail, as a disk or a file system would,
// where the fault cannot be made for real. The fault is named by CARROVEX_FAULT at the moment of the call:
//   rename-flag-refused  renameat2 answers EINVAL (a file system without RENAME_NOREPLACE)
//   no-kernel-copy       copy_file_range answers ENOSYS before copying anything
//   io-error-mid-copy    copy_file_range copies 4 KiB, then answers EIO
//   source-grows         the source gains a byte at every kernel copy call, also one that is refused
//   close-fails          closing our temporary file answers EIO (as NFS may for a full disk)
//   slow-copy            copy_file_range copies 64 KiB per call, 2 ms each (a slow disk or network)
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace
{

bool fault(const char* name)
{
    const char* active = std::getenv("CARROVEX_FAULT");
    return active != nullptr && std::strcmp(active, name) == 0;
}

template <class Function> Function real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::string pathOf(int fd)
{
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

int copyCalls = 0;

} // namespace

extern "C" int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned int flags)
{
    if (fault("rename-flag-refused")) {
        errno = EINVAL;
        return -1;
    }
    using Renameat2 = int (*)(int, const char*, int, const char*, unsigned int);
    return real<Renameat2>("renameat2")(olddirfd, oldpath, newdirfd, newpath, flags);
}

extern "C" ssize_t copy_file_range(
    int in, off64_t* inOffset, int out, off64_t* outOffset, size_t length, unsigned int flags)
{
    using CopyFileRange = ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned int);
    const auto copy = real<CopyFileRange>("copy_file_range");
    if (fault("no-kernel-copy")) {
        errno = ENOSYS;
        return -1;
    }
    if (fault("io-error-mid-copy")) {
        if (copyCalls++ % 2 == 1) {
            errno = EIO;
            return -1;
        }
        return copy(in, inOffset, out, outOffset, length < 4096 ? length : 4096, flags);
    }
    if (fault("slow-copy")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return copy(in, inOffset, out, outOffset, length < 65536 ? length : 65536, flags);
    }
    const ssize_t copied = copy(in, inOffset, out, outOffset, length, flags);
    if (fault("source-grows")) {
        const int writer = ::open(pathOf(in).c_str(), O_WRONLY | O_APPEND);
        if (writer >= 0) {
            [[maybe_unused]] const ssize_t ignored = ::write(writer, "+", 1);
            using Close = int (*)(int);
            real<Close>("close")(writer);
        }
    }
    return copied;
}

extern "C" int close(int fd)
{
    using Close = int (*)(int);
    const bool failing = fault("close-fails") && pathOf(fd).find("/.carrovex-") != std::string::npos;
    const int result = real<Close>("close")(fd);
    if (failing && result == 0) {
        errno = EIO;
        return -1;
    }
    return result;
}
