#pragma once

#include <string>
#include <windows.h>

namespace carrovex::win32
{

// The system's folder dialog (IFileOpenDialog picking folders of the file system), modal to the owner,
// with the prompt as its title, opened at the start folder (the user's profile folder when it is empty);
// the chosen folder's full path, or empty when it was cancelled or could not be shown. The thread must have
// COM started (single-threaded apartment).
std::string chooseFolder(HWND owner, const std::string& prompt, const std::string& startFolder);

} // namespace carrovex::win32
