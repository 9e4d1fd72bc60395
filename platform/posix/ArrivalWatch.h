#pragma once

#include "platform/Result.h"
#include "platform/posix/FileDescriptor.h"

#include <string>

namespace carrovex::posix
{

// Files that arrive in one folder, as inotify tells of them: a file written and closed, or moved in. A file
// being written tells nothing until its writer closes it. The descriptor becomes readable when something
// happened; take() reads it without waiting.
class ArrivalWatch final
{
public:
    ArrivalWatch();
    ArrivalWatch(const ArrivalWatch&) = delete;
    ArrivalWatch& operator=(const ArrivalWatch&) = delete;

    // Watches the folder from now on instead of any other; an empty folder watches none. Fails with the
    // system's reason (no such folder, the limit of watches reached); nothing is watched then.
    Status watch(const std::string& folder);

    // Readable (poll) when take() has something to read; -1 when the system gave no watch at all.
    int descriptor() const;

    // Reads what the system told since the last call: true when a file arrived, or when so much happened
    // that the system dropped some of it.
    bool take();

private:
    FileDescriptor m_descriptor;
    std::string m_unusable; // why the system gave no descriptor
    int m_watch = -1;
};

} // namespace carrovex::posix
