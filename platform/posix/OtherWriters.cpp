#include "platform/posix/OtherWriters.h"

#include "platform/posix/FileDescriptor.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

using Directory = std::unique_ptr<DIR, int (*)(DIR*)>;

Directory openDirectory(int at, const std::string& path)
{
    const int fd = ::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* directory = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (directory == nullptr && fd >= 0) {
        ::close(fd);
    }
    return Directory(directory, ::closedir);
}

bool isNumber(const char* name)
{
    return *name != '\0' && std::strspn(name, "0123456789") == std::strlen(name);
}

// The descriptor's "flags:" line in fdinfo holds its open flags in octal.
bool openForWriting(int fdinfoFolder, const char* descriptor)
{
    const FileDescriptor info(::openat(fdinfoFolder, descriptor, O_RDONLY | O_CLOEXEC));
    char text[256] = {};
    if (info.get() < 0 || ::read(info.get(), text, sizeof text - 1) <= 0) {
        return false;
    }
    const char* flags = std::strstr(text, "flags:");
    if (flags == nullptr) {
        return false;
    }
    const unsigned long mode = std::strtoul(flags + std::strlen("flags:"), nullptr, 8) & O_ACCMODE;
    return mode == O_WRONLY || mode == O_RDWR;
}

} // namespace

OtherWriters::OtherWriters(std::chrono::milliseconds maxAge)
    : m_maxAge(maxAge)
{
}

bool OtherWriters::writing(std::uint64_t device, std::uint64_t inode)
{
    const auto now = std::chrono::steady_clock::now();
    // In milliseconds: the largest age would overflow in the clock's own unit.
    if (!m_lookedAt || std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_lookedAt) > m_maxAge) {
        look();
        m_lookedAt = now;
    }
    return m_files.contains({device, inode});
}

void OtherWriters::look()
{
    m_files.clear();
    const Directory processes = openDirectory(AT_FDCWD, "/proc");
    if (!processes) {
        return;
    }
    const std::string self = std::to_string(::getpid());
    while (const dirent* process = ::readdir(processes.get())) {
        if (!isNumber(process->d_name) || self == process->d_name) {
            continue;
        }
        // A process that may not be inspected, or has ended meanwhile, shows no descriptors.
        const std::string name = process->d_name;
        const Directory descriptors = openDirectory(::dirfd(processes.get()), name + "/fd");
        if (!descriptors) {
            continue;
        }
        const FileDescriptor fdinfo(
            ::openat(::dirfd(processes.get()), (name + "/fdinfo").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fdinfo.get() < 0) {
            continue;
        }
        const int folder = ::dirfd(descriptors.get());
        while (const dirent* descriptor = ::readdir(descriptors.get())) {
            // Sockets, pipes and the like have no path; only a file open for writing is looked at itself.
            char target[2] = {};
            struct stat file {
            };
            if (!isNumber(descriptor->d_name) || ::readlinkat(folder, descriptor->d_name, target, 1) != 1
                || target[0] != '/' || !openForWriting(fdinfo.get(), descriptor->d_name)
                || ::fstatat(folder, descriptor->d_name, &file, 0) != 0 || !S_ISREG(file.st_mode)) {
                continue;
            }
            m_files.emplace(static_cast<std::uint64_t>(file.st_dev), static_cast<std::uint64_t>(file.st_ino));
        }
    }
}

} // namespace carrovex::posix
