#pragma once

#include "platform/posix/FileDescriptor.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace carrovex::posix
{

// Closes the descriptors of removed sources beside the next batch's work: the last close of a removed
// file frees its blocks, and on a disk mounted with discard it waits for the device as well, which took a
// third of a move's time onto another disk. One batch's descriptors at most are here, so that a batch and
// its predecessor's sources stay within the open-file limit.
class RemovedSourceCloser
{
public:
    RemovedSourceCloser() = default;
    RemovedSourceCloser(const RemovedSourceCloser&) = delete;
    RemovedSourceCloser& operator=(const RemovedSourceCloser&) = delete;
    ~RemovedSourceCloser(); // closes what waits

    // Waits until the previous batch's descriptors are closed; closes these at once where no thread can
    // be had.
    void close(std::vector<FileDescriptor> descriptors);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FileDescriptor> m_waiting;
    bool m_closing = false;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace carrovex::posix
