#include "platform/win32/Win32NumberFormat.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace carrovex::win32
{

std::string Win32NumberFormat::decimalSeparator() const
{
    wchar_t separator[8] = L"";
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, std::size(separator)) <= 1) {
        return ".";
    }
    return narrow(separator);
}

} // namespace carrovex::win32
