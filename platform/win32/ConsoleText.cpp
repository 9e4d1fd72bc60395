#include "platform/console/ConsoleText.h"

#include "platform/win32/WideText.h"

#include <io.h>
#include <windows.h>

namespace carrovex
{

void writeText(std::FILE* stream, const std::string& text)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    // Redirected, the bytes stay UTF-8, as a file or the program reading them expects.
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        std::fputs(text.c_str(), stream);
        return;
    }
    std::fflush(stream); // what was written through the stream before comes first
    const std::wstring wide = win32::widen(text);
    DWORD written = 0;
    ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

} // namespace carrovex
