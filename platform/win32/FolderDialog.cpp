#include "platform/win32/FolderDialog.h"

#include "platform/win32/WideText.h"

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace carrovex::win32
{

namespace
{

// A COM interface pointer, released when it goes out of scope.
template <class Interface> class ComPointer
{
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer()
    {
        if (m_pointer != nullptr) {
            m_pointer->Release();
        }
    }
    Interface** out()
    {
        return &m_pointer;
    }
    Interface* operator->() const
    {
        return m_pointer;
    }
    Interface* get() const
    {
        return m_pointer;
    }

private:
    Interface* m_pointer = nullptr;
};

} // namespace

std::string chooseFolder(HWND owner, const std::string& prompt, const std::string& startFolder)
{
    ComPointer<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog,
            nullptr,
            CLSCTX_INPROC_SERVER,
            IID_IFileOpenDialog,
            reinterpret_cast<void**>(dialog.out())))) {
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    dialog->SetTitle(widen(prompt).c_str());
    // Without a folder of its own the dialog opens where it was last used, or at the working folder.
    std::wstring start = widen(startFolder);
    if (start.empty()) {
        wchar_t* profile = nullptr;
        if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &profile))) {
            start = profile;
        }
        ::CoTaskMemFree(profile);
    }
    ComPointer<IShellItem> startItem;
    if (!start.empty()
        && SUCCEEDED(::SHCreateItemFromParsingName(
            start.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(startItem.out())))) {
        dialog->SetFolder(startItem.get());
    }
    if (FAILED(dialog->Show(owner))) {
        return {}; // cancelled
    }
    ComPointer<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.out()))) {
        return {};
    }
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return {};
    }
    std::string folder = narrow(path);
    ::CoTaskMemFree(path);
    return folder;
}

} // namespace carrovex::win32
