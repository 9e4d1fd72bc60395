#include "platform/win32/ConsoleTerminal.h"

#include "platform/common/YesNoQuestion.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <stdexcept>

namespace carrovex::win32
{

namespace
{

constexpr int interruptSignal = 2; // SIGINT
constexpr int terminateSignal = 15; // SIGTERM

ConsoleTerminal* theTerminal = nullptr;

DWORD millisecondsUntil(const std::optional<Terminal::TimePoint>& deadline)
{
    if (!deadline) {
        return INFINITE;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    // At most a day; a longer wait simply waits again.
    constexpr long long day = 24LL * 60 * 60 * 1000;
    return static_cast<DWORD>(std::clamp<long long>(left.count(), 0, day));
}

// One line typed on the console, without its end; nothing at its end or when the wait was cut short by a
// request to stop.
std::optional<std::string> readConsoleLine(HANDLE input, HANDLE stopRequested)
{
    std::wstring line;
    for (;;) {
        wchar_t buffer[256];
        DWORD got = 0;
        // Ctrl+C ends the read with nothing; the request is then waiting.
        if (!::ReadConsoleW(input, buffer, static_cast<DWORD>(std::size(buffer)), &got, nullptr) || got == 0
            || ::WaitForSingleObject(stopRequested, 0) == WAIT_OBJECT_0) {
            return std::nullopt;
        }
        line.append(buffer, got);
        if (const auto end = line.find(L'\n'); end != std::wstring::npos) {
            line.erase(end);
            if (!line.empty() && line.back() == L'\r') {
                line.pop_back();
            }
            return narrow(line);
        }
    }
}

} // namespace

ConsoleTerminal::ConsoleTerminal()
    : m_stopRequested(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (!m_stopRequested.valid() || theTerminal != nullptr) {
        throw std::runtime_error("cannot wait for the console's requests to stop");
    }
    theTerminal = this;
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

ConsoleTerminal::~ConsoleTerminal()
{
    ::SetConsoleCtrlHandler(onControl, FALSE);
    theTerminal = nullptr;
}

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI ConsoleTerminal::onControl(DWORD event)
{
    ConsoleTerminal* terminal = theTerminal;
    if (terminal == nullptr) {
        return FALSE;
    }
    terminal->m_signalNumber = signalNumberFor(event);
    ::SetEvent(terminal->m_stopRequested.get());
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // The system ends the program as soon as this returns: keep it until the program has finished
        // the file in hand and ended by itself, or the system's time-out has passed.
        ::Sleep(INFINITE);
    }
    return TRUE;
}

Terminal::Wake ConsoleTerminal::wait(std::optional<TimePoint> deadline)
{
    for (;;) {
        // The first of the two that is set wins: a request to stop before arrivals.
        const HANDLE events[] = {m_stopRequested.get(), m_arrivals.event()};
        const DWORD waited = ::WaitForMultipleObjects(2, events, FALSE, millisecondsUntil(deadline));
        if (waited == WAIT_OBJECT_0) {
            return Wake::Stop;
        }
        if (waited == WAIT_OBJECT_0 + 1 && m_arrivals.take()) {
            return Wake::Arrival;
        }
        // A timed wait can end a little before the deadline itself.
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            return Wake::Deadline;
        }
    }
}

Status ConsoleTerminal::watchArrivals(const std::string& folder)
{
    return m_arrivals.watch(folder);
}

bool ConsoleTerminal::stopTaken()
{
    return ::WaitForSingleObject(m_stopRequested.get(), 0) == WAIT_OBJECT_0;
}

int ConsoleTerminal::stopStatus() const
{
    return 128 + m_signalNumber;
}

bool ConsoleTerminal::askYesNo(const std::string& question)
{
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (input == nullptr || input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &mode)) {
        return false;
    }
    return carrovex::askYesNo(question, [&] { return readConsoleLine(input, m_stopRequested.get()); });
}

int ConsoleTerminal::signalNumber() const
{
    return m_signalNumber;
}

int signalNumberFor(DWORD controlEvent)
{
    return controlEvent == CTRL_C_EVENT ? interruptSignal : terminateSignal;
}

} // namespace carrovex::win32
