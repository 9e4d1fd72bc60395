#include "platform/win32/SingleInstance.h"

#include "platform/win32/FileHandles.h"
#include "platform/win32/WideText.h"

#include <cstdint>
#include <cwchar>
#include <vector>

namespace carrovex::win32
{

namespace
{

constexpr const wchar_t* listenerClass = L"CarrovexSingleInstance";
constexpr UINT comeForwardMessage = WM_APP + 1;

// FNV-1a: the same folder gives the same name in every build of both programs.
std::uint64_t hashOf(const std::wstring& text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const wchar_t c : text) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

// The folder's path as the file system has it (links followed, in its own letter case), else its full
// path; in capitals, as Windows compares names.
std::wstring realPathOf(const std::wstring& folder)
{
    std::wstring path = folder;
    const Handle opened = openForAttributes(folder);
    std::vector<wchar_t> buffer(32'768);
    if (opened.valid()
        && ::GetFinalPathNameByHandleW(opened.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0) != 0) {
        path = buffer.data();
    } else if (::GetFullPathNameW(folder.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr) != 0) {
        path = buffer.data();
    }
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

void registerListenerClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = listenerClass;
    ::RegisterClassExW(&windowClass); // fails harmlessly when it is registered already
}

} // namespace

SingleInstance::SingleInstance(const std::string& folder)
{
    wchar_t name[64];
    std::swprintf(name,
        std::size(name),
        L"Local\\Carrovex-%016llx",
        static_cast<unsigned long long>(hashOf(realPathOf(widen(folder)))));
    m_name = name;
    m_mutex = Handle(::CreateMutexW(nullptr, FALSE, m_name.c_str()));
    m_first = !m_mutex.valid() || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance()
{
    if (m_listener != nullptr) {
        ::DestroyWindow(m_listener);
    }
}

bool SingleInstance::isFirst() const
{
    return m_first;
}

void SingleInstance::listen(std::function<void()> comeForward)
{
    m_comeForward = std::move(comeForward);
    registerListenerClass(listenerProcedure);
    m_listener = ::CreateWindowExW(
        0, listenerClass, m_name.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_listener != nullptr) {
        ::SetWindowLongPtrW(m_listener, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
}

LRESULT CALLBACK SingleInstance::listenerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SingleInstance*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == comeForwardMessage && self != nullptr && self->m_comeForward) {
        self->m_comeForward();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool SingleInstance::askFirstToComeForward() const
{
    const HWND first = ::FindWindowExW(HWND_MESSAGE, nullptr, listenerClass, m_name.c_str());
    if (first == nullptr) {
        return false;
    }
    // Only a program in front may put another one in front.
    DWORD process = 0;
    ::GetWindowThreadProcessId(first, &process);
    ::AllowSetForegroundWindow(process);
    return ::PostMessageW(first, comeForwardMessage, 0, 0) != 0;
}

} // namespace carrovex::win32
