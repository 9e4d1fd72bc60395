#pragma once

#include <cstddef>

namespace carrovex::posix
{

// An open file descriptor, closed when it goes out of scope.
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd);
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    ~FileDescriptor();

    int get() const;
    // Closes now and returns 0 or the errno of the close's own failure (a full disk on some file systems
    // shows only there). Don't retry close on EINTR: the descriptor is gone either way.
    int close();
    // Closes now, whatever the close says.
    void reset();

private:
    int m_fd = -1;
};

// Writes all of the bytes; returns 0 or the errno of the failure.
int writeAll(int fd, const char* data, std::size_t size);

} // namespace carrovex::posix
