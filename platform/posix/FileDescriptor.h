#pragma once

#include <cstddef>

namespace carrovex::posix
{

// An open file descriptor, closed when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd);
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const;
    // Closes now and returns 0 or the errno of the close's own failure (a full disk on some file systems
    // shows only there). Don't retry close on EINTR: the descriptor is gone either way.
    int close();

private:
    int m_fd;
};

// Writes all of the bytes; returns 0 or the errno of the failure.
int writeAll(int fd, const char* data, std::size_t size);

} // namespace carrovex::posix
