#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace carrovex::posix
{

FileDescriptor::FileDescriptor(int fd)
    : m_fd(fd)
{
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor()
{
    reset();
}

int FileDescriptor::get() const
{
    return m_fd;
}

int FileDescriptor::close()
{
    if (m_fd < 0) {
        return 0;
    }
    const int result = ::close(std::exchange(m_fd, -1));
    return result == 0 ? 0 : errno;
}

void FileDescriptor::reset()
{
    if (m_fd >= 0) {
        ::close(std::exchange(m_fd, -1));
    }
}

int writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

} // namespace carrovex::posix
