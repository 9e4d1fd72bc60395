#pragma once

#include "platform/win32/Handle.h"

#include <functional>
#include <string>

namespace carrovex::win32
{

// One program at a time on a settings folder. The first start holds a named mutex that the system frees
// however the program ends, named by the folder's real path, so that two spellings of one folder meet. A
// window program also makes a hidden message window of that name, through which a later start asks it to
// come to the front; a console program does not, and a later start is refused.
class SingleInstance
{
public:
    explicit SingleInstance(const std::string& folder);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance();

    // This program is the first on the folder (also when the name could not be made at all: a program
    // that cannot tell must not refuse to run).
    bool isFirst() const;

    // The first program: calls comeForward on this thread, from its message loop, whenever a later start
    // asks.
    void listen(std::function<void()> comeForward);

    // A later start: asks the first program to come to the front, and lets it; false when it takes no
    // requests.
    bool askFirstToComeForward() const;

private:
    static LRESULT CALLBACK listenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::wstring m_name;
    Handle m_mutex;
    bool m_first = true;
    HWND m_listener = nullptr;
    std::function<void()> m_comeForward;
};

} // namespace carrovex::win32
