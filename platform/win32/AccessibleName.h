#pragma once

#include <string>
#include <windows.h>

namespace carrovex::win32
{

// Gives a control the name that assistive technology announces, in place of its own text (a "..." button's
// dots). Where the system cannot annotate controls, the control keeps the name of its text.
void setAccessibleName(HWND control, const std::wstring& name);

} // namespace carrovex::win32
