#include "platform/win32/WidePath.h"

#include "platform/win32/SystemError.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace carrovex::win32
{

Result<std::wstring> widePath(const std::string& path)
{
    std::optional<std::wstring> wide = widenExactly(path);
    if (!wide || wide->find(L'\0') != std::wstring::npos) {
        return Result<std::wstring>::failure(systemErrorText(ERROR_INVALID_NAME));
    }
    return std::move(*wide);
}

std::wstring folderOf(const std::wstring& path)
{
    const auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return L".";
    }
    const bool root = separator > 0 && path[separator - 1] == L':';
    return path.substr(0, root ? separator + 1 : separator);
}

} // namespace carrovex::win32
