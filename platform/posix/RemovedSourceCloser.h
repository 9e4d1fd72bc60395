#pragma once

#include "platform/posix/FileDescriptor.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace carrovex::posix
{

// Closes the descriptors of removed sources beside the next batch's work: the last close of a removed
// file frees its blocks, and on a disk mounted with discard it waits for the device as well, which took a
// third of a move's time onto another disk. Several threads close at once, as a device takes discards side
// by side. One batch's descriptors at most are here, so that a batch and its predecessor's sources stay
// within the open-file limit.
class RemovedSourceCloser
{
public:
    explicit RemovedSourceCloser(std::size_t threads = 4);
    RemovedSourceCloser(const RemovedSourceCloser&) = delete;
    RemovedSourceCloser& operator=(const RemovedSourceCloser&) = delete;
    ~RemovedSourceCloser(); // closes what waits

    // Waits until the previous batch's descriptors are closed; closes these at once where no thread can
    // be had.
    void close(std::vector<FileDescriptor> descriptors);

private:
    void work();

    std::size_t m_wanted;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FileDescriptor> m_waiting;
    std::size_t m_closing = 0; // threads with descriptors in hand
    bool m_ending = false;
    std::vector<std::thread> m_threads;
};

} // namespace carrovex::posix
