#pragma once

#include <windows.h>

namespace carrovex::win32
{

// A kernel handle (a file, an event), closed when it goes out of scope. Holds INVALID_HANDLE_VALUE or
// nullptr for none, whichever the call that made it returns on failure.
class Handle
{
public:
    Handle() = default;
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept
        : m_handle(other.release())
    {
    }
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            close();
            m_handle = other.release();
        }
        return *this;
    }
    ~Handle()
    {
        close();
    }

    bool valid() const
    {
        return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr;
    }
    HANDLE get() const
    {
        return m_handle;
    }
    // Closes now; false when the close itself failed (GetLastError tells why).
    bool close()
    {
        const bool closed = !valid() || ::CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

    HANDLE release()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

} // namespace carrovex::win32
