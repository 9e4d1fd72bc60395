#pragma once

#include "platform/Result.h"

#include <string>

namespace carrovex::win32
{

// The path as the wide calls take it; a failure in the system's words for an invalid name when its bytes
// are no text (see WideText.h).
Result<std::wstring> widePath(const std::string& path);

// The folder part of a path, without its last separator; "." when there is none.
std::wstring folderOf(const std::wstring& path);

} // namespace carrovex::win32
