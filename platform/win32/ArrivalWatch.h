#pragma once

#include "platform/Result.h"
#include "platform/win32/Handle.h"

#include <string>
#include <windows.h>

namespace carrovex::win32
{

// Files that arrive in one folder, as the system tells of them: a file made, renamed or moved in, or
// written. The system does not tell when a writer closes a file; its last write tells, as a rule when the
// file is closed. The event is set when something happened; take() reads it without waiting.
class ArrivalWatch final
{
public:
    ArrivalWatch();
    ArrivalWatch(const ArrivalWatch&) = delete;
    ArrivalWatch& operator=(const ArrivalWatch&) = delete;
    ~ArrivalWatch();

    // Watches the folder from now on instead of any other; an empty folder watches none. Fails with the
    // system's reason (no such folder, no right to list it); nothing is watched then.
    Status watch(const std::string& folder);

    // Set when take() has something to read; always a valid handle to wait for.
    HANDLE event() const;

    // Reads what the system told since the last call and listens again: true when a file arrived, or when
    // so much happened that the system could not tell it all.
    bool take();

private:
    Status listen();
    void stop();

    Handle m_event;
    Handle m_folder;
    OVERLAPPED m_overlapped {};
    alignas(DWORD) char m_buffer[64 * 1024];
};

} // namespace carrovex::win32
