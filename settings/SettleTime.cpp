#include "settings/SettleTime.h"

#include "store/IniStore.h"

#include <algorithm>
#include <charconv>

namespace carrovex
{

std::chrono::milliseconds settleTime(
    TextFiles& files, const std::string& settingsFile, std::chrono::milliseconds defaultTime)
{
    IniStore ini(files);
    ini.settingsFile = settingsFile;
    const std::string stored = readOption(ini, "SettleSeconds", "");
    long long seconds = 0;
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), seconds);
    if (stored.empty() || end != stored.data() + stored.size()) {
        return defaultTime;
    }
    // Too large a number for any type is too large a settle time too.
    if (error == std::errc::result_out_of_range) {
        seconds = stored.front() == '-' ? 0 : 3600;
    }
    return std::chrono::seconds(std::clamp(seconds, 1LL, 3600LL));
}

} // namespace carrovex
