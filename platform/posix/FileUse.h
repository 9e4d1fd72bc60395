#pragma once

#include "platform/Problem.h"

#include <chrono>

namespace carrovex::posix
{

// Whether another program may still be writing a file.
struct FileUse {
    enum class State { Free, OpenForWriting, RecentlyChanged };
    State state = State::Free;
    bool leased = false; // a read lease is held on the descriptor that was asked

    bool free() const
    {
        return state == State::Free;
    }
};

// Asks about the file open read-only as fd. A read lease answers exactly: the kernel grants it only while no
// process has the file open for writing, and a program that opens the file for writing later waits until
// the lease is let go (closing fd lets it go), while the lease shows that it was asked to break. Where a
// lease cannot answer (a file of another owner without the right to lease it, or a file system whose other
// writers the kernel cannot see: FUSE and network shares), the file counts as free only when its
// modification time lies at least the settle time in the past.
// leaseSeesEveryWriter is false where storedBeyondKernel is true for the file.
FileUse checkUse(int fd, bool leaseSeesEveryWriter, std::chrono::seconds settleTime);

// Lets a lease go, so that a writer need not wait for the descriptor to be closed.
void letLeaseGo(int fd);

// False once another program has asked to open the file for writing since checkUse took its lease.
bool leaseUnbroken(int fd);

// True for FUSE and network file systems: their data and their other users lie beyond this kernel, so a
// flush of the whole file system does not reach them, and a lease does not see every writer.
bool storedBeyondKernel(int fd);

// Why a file that is not free is left alone.
Problem useProblem(const FileUse& use);

} // namespace carrovex::posix
