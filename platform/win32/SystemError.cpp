#include "platform/win32/SystemError.h"

#include "platform/win32/WideText.h"

#include <cstdio>
#include <windows.h>

namespace carrovex::win32
{

std::string systemErrorText(unsigned long error)
{
    wchar_t* buffer = nullptr;
    // Language 0: the thread's, then the user's, then the system's language, as the system's own dialogs do.
    const DWORD length
        = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr,
            error,
            0,
            reinterpret_cast<wchar_t*>(&buffer),
            0,
            nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    while (!text.empty() && (text.back() == L' ' || text.back() == L'.')) {
        text.pop_back();
    }
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "Error %lu", error);
        return code;
    }
    return narrow(text);
}

std::string lastErrorText()
{
    return systemErrorText(::GetLastError());
}

} // namespace carrovex::win32
