#pragma once

#include <string>
#include <windows.h>

namespace carrovex::win32
{

// A window's or control's text as UTF-8, and back.
std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);

// The text of an entry of a combo box's list.
std::string comboBoxText(HWND combo, int index);

} // namespace carrovex::win32
