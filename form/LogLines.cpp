#include "form/LogLines.h"

#include "form/LaterTexts.h"
#include "form/MainForm.h"
#include "platform/Clock.h"
#include "platform/MainWindow.h"
#include "store/IniStore.h"

namespace carrovex
{

std::string logStamp(const Clock& clock)
{
    return clock.dateAndTime() + " - ";
}

void appendStampedLine(MainWindow& window, const Clock& clock, const std::string& text)
{
    window.appendLine(logStamp(clock) + text);
    window.selectLine(window.lineCount() - 1);
}

std::string cancelLine(const MainForm& form, bool moving, std::size_t count)
{
    const LanguageTexts& texts = form.texts;
    const std::string number = std::to_string(count);
    const std::string& files = count == 1 ? texts[29] : texts[30];
    const LaterText key = moving ? LaterText::CancelledMove : LaterText::CancelledCopy;
    const std::string wording
        = form.ini.ReadLanguageValue("frmMain", "t" + std::to_string(static_cast<int>(key)), "", iniValueSize);
    if (wording.empty()) {
        return texts[31] + ": " + (moving ? texts[26] : texts[25]) + " " + number + " " + files;
    }
    return withArguments(wording, {number, files});
}

} // namespace carrovex
