#pragma once

#include "platform/Problem.h"
#include "platform/posix/OtherWriters.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace carrovex::posix
{

// Whether another program may still be writing a file.
struct FileUse {
    enum class State { Free, OpenForWriting, RecentlyChanged };
    State state = State::Free;
    bool leased = false; // a read lease is held on the descriptor that was asked
    // Where the settle time decided: the file's change time then (nanoseconds since 1970), which every later
    // check requires unchanged.
    std::optional<std::int64_t> changedAt {};

    bool free() const
    {
        return state == State::Free;
    }
};

// Asks about the file open read-only as fd. A read lease answers exactly: the kernel grants it only while no
// process has the file open for writing, and a program that opens the file for writing later waits until
// the lease is let go (closing fd lets it go), while the lease shows that it was asked to break. Where a
// lease cannot answer (a file of another owner without CAP_LEASE, or a file system whose other writers the
// kernel cannot see: FUSE and network shares), a file that another process has open for writing (as far as
// writers can tell) is in use, and any other counts as free only when its change time lies at least the
// settle time in the past. Every write sets the change time, and unlike the modification time (which cp -p,
// touch and unpackers date back) nobody can set it back. Asked again, such a file must also not have changed
// since the earlier answer.
// leaseSeesEveryWriter is false where storedBeyondKernel is true for the file.
FileUse checkUse(int fd,
    bool leaseSeesEveryWriter,
    std::chrono::milliseconds settleTime,
    OtherWriters& writers,
    const FileUse& earlier = {});

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
