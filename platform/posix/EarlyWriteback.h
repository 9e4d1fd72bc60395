#pragma once

#include "platform/posix/FileDescriptor.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace carrovex::posix
{

// Has the disk write a batch's copies while the batch is still being staged, on another thread, so that the
// flush that ends the batch finds little left to write. It flushes the file system through a descriptor of
// its own and ignores the answer: the kernel reports a write-back failure to each open descriptor that has
// not yet seen it, so the batch's own flush, which alone decides, still hears of every failure.
class EarlyWriteback
{
public:
    EarlyWriteback() = default;
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;
    ~EarlyWriteback();

    // Begins for the file system of the folder open as folderFd, unless it is already under way.
    void begin(int folderFd);
    // Waits for a flush in progress and ends.
    void end();

private:
    void work();

    static constexpr std::chrono::milliseconds period {200};
    FileDescriptor m_folder;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace carrovex::posix
