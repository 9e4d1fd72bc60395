#include "platform/win32/Win32Clock.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace carrovex::win32
{

std::string Win32Clock::dateAndTime() const
{
    SYSTEMTIME now {};
    ::GetLocalTime(&now);
    wchar_t date[128] = L"";
    wchar_t time[128] = L"";
    // The user's time format has the seconds; a date or time that cannot be formatted stays empty rather
    // than holding back the log line.
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, std::size(date), nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, std::size(time));
    return narrow(date) + " " + narrow(time);
}

} // namespace carrovex::win32
