#include "platform/win32/FolderLayout.h"

#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

#include <shlobj.h>

namespace carrovex::win32
{

namespace
{

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.ends_with('\\') || folder.ends_with('/') ? folder + name : folder + "\\" + name;
}

DWORD attributesOf(const std::string& path)
{
    const std::optional<std::wstring> wide = widenExactly(path);
    return wide ? ::GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The layout in which the settings have always lived beside the program.
bool isPortable(const std::string& programFolder)
{
    return isFolder(joined(programFolder, "lang"))
        || attributesOf(joined(programFolder, "Carrovex.ini")) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string userSettingsFolder()
{
    wchar_t* appData = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &appData))) {
        folder = joined(narrow(appData), "Carrovex");
    }
    ::CoTaskMemFree(appData);
    return folder;
}

bool mayWriteIn(const std::string& folder)
{
    const Result<std::wstring> wide = widePath(joined(folder, "~carrovex-write-test.tmp"));
    if (!wide.ok()) {
        return false;
    }
    const Handle probe(::CreateFileW(wide.value().c_str(),
        GENERIC_WRITE,
        0,
        nullptr,
        CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
        nullptr));
    return probe.valid();
}

ProgramFolders findProgramFolders(const std::string& programFolder,
    const std::optional<std::string>& settingsFolder,
    const std::string& userFolder,
    const std::function<bool(const std::string&)>& mayWrite)
{
    ProgramFolders folders;
    if (settingsFolder) {
        folders.settings = *settingsFolder;
    } else if (isPortable(programFolder) && mayWrite(programFolder)) {
        folders.settings = programFolder;
    } else {
        folders.settings = userFolder.empty() ? programFolder : userFolder;
    }
    const std::string own = joined(folders.settings, "lang");
    const std::string shipped = joined(programFolder, "lang");
    folders.languages = own == shipped ? std::vector {shipped} : std::vector {own, shipped};
    folders.log = folders.settings;
    return folders;
}

Status makeSettingsFolder(const std::string& folder)
{
    const Result<std::wstring> wide = widePath(folder);
    if (!wide.ok()) {
        return Status::failure(wide.error());
    }
    // Makes the parents too; it wants a full path.
    wchar_t full[MAX_PATH * 4] = L"";
    if (::GetFullPathNameW(wide.value().c_str(), static_cast<DWORD>(std::size(full)), full, nullptr) == 0) {
        return Status::failure(lastErrorText());
    }
    const int made = ::SHCreateDirectoryExW(nullptr, full, nullptr);
    if (made == ERROR_SUCCESS || ((made == ERROR_ALREADY_EXISTS || made == ERROR_FILE_EXISTS) && isFolder(folder))) {
        return {};
    }
    return Status::failure(systemErrorText(made == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : static_cast<DWORD>(made)));
}

} // namespace carrovex::win32
