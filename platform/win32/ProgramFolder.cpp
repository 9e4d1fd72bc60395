#include "platform/win32/ProgramFolder.h"

#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

#include <vector>
#include <windows.h>

namespace carrovex::win32
{

std::string programFolder()
{
    // A path longer than MAX_PATH is cut to the buffer's size without a failure: grow until it fits.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return ".";
        }
        if (length < path.size()) {
            return narrow(folderOf(std::wstring(path.data(), length)));
        }
        path.resize(path.size() * 2);
    }
}

std::string argumentsAfterProgramName(std::wstring_view commandLine)
{
    std::size_t position = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const auto closing = commandLine.find(L'"', 1);
        position = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    } else {
        while (position < commandLine.size() && commandLine[position] != L' ' && commandLine[position] != L'\t') {
            ++position;
        }
    }
    while (position < commandLine.size() && (commandLine[position] == L' ' || commandLine[position] == L'\t')) {
        ++position;
    }
    return narrow(commandLine.substr(position));
}

} // namespace carrovex::win32
