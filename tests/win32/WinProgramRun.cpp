#include "platform/win32/ProgramFolder.h"
#include "platform/win32/WideText.h"
#include "tests/console/ProgramRun.h"

#include <sstream>

namespace carrovex::testing
{

namespace
{

// No argument of the tests holds a quote or ends in a backslash: quotes alone keep it whole.
std::wstring quoted(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

std::string readAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

} // namespace

std::wstring consoleProgram()
{
    return win32::widen(win32::programFolder()) + L"\\..\\carrovex-console.exe";
}

std::wstring windowProgram()
{
    return win32::widen(win32::programFolder()) + L"\\..\\carrovex.exe";
}

ProgramRun::ProgramRun(const std::vector<std::string>& arguments, const std::wstring& program)
{
    SECURITY_ATTRIBUTES inheritable {sizeof inheritable, nullptr, TRUE};
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    HANDLE errorRead = nullptr;
    HANDLE errorWrite = nullptr;
    ::CreatePipe(&outputRead, &outputWrite, &inheritable, 0);
    ::CreatePipe(&errorRead, &errorWrite, &inheritable, 0);
    ::SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);
    m_output = win32::Handle(outputRead);
    m_errorOutput = win32::Handle(errorRead);
    const win32::Handle childOutput(outputWrite);
    const win32::Handle childErrors(errorWrite);
    const win32::Handle nothing(::CreateFileW(L"NUL", GENERIC_READ, 0, &inheritable, OPEN_EXISTING, 0, nullptr));

    std::wstring line = quoted(program);
    for (const std::string& argument : arguments) {
        line += L" " + quoted(win32::widen(argument));
    }
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing.get();
    startup.hStdOutput = childOutput.get();
    startup.hStdError = childErrors.get();
    PROCESS_INFORMATION process {};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        m_process = win32::Handle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    m_outputReader = std::thread([this] { m_outputText = readAll(m_output.get()); });
    m_errorReader = std::thread([this] { m_errors = readAll(m_errorOutput.get()); });
}

ProgramRun::~ProgramRun()
{
    wait();
}

int ProgramRun::wait(int seconds)
{
    if (m_errorReader.joinable()) {
        if (m_process.valid()
            && ::WaitForSingleObject(m_process.get(), static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0) {
            ::TerminateProcess(m_process.get(), 255);
        }
        m_outputReader.join();
        m_errorReader.join();
        DWORD status = 255;
        if (m_process.valid()) {
            ::GetExitCodeProcess(m_process.get(), &status);
        }
        m_status = static_cast<int>(status);
        std::istringstream text(m_outputText);
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            m_lines.push_back(line);
        }
    }
    return m_status;
}

} // namespace carrovex::testing
