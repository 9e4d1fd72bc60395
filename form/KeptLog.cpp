#include "form/KeptLog.h"

#include "form/Captions.h"
#include "form/LaterTexts.h"
#include "form/LogFile.h"
#include "form/LogLines.h"
#include "form/MainForm.h"

#include <utility>

namespace carrovex
{

namespace
{

constexpr std::size_t restoredLines = 200;

} // namespace

KeptLog::KeptLog(const MainForm& form, LogFile& file, std::function<void(const std::string&)> report)
    : m_form(form)
    , m_file(file)
    , m_report(std::move(report))
{
}

const std::string& KeptLog::path() const
{
    return m_file.path();
}

void KeptLog::lineAppended(const std::string& line)
{
    if (m_pendingLine) {
        write(*m_pendingLine);
    }
    m_pendingLine.reset();
    if (m_form.state.runInProgress) {
        m_pendingLine = line;
        return;
    }
    write(line);
    reportFailure();
}

void KeptLog::lastLineRemoved()
{
    m_pendingLine.reset();
}

void KeptLog::runEnded()
{
    if (m_pendingLine) {
        write(*m_pendingLine);
        m_pendingLine.reset();
    }
    reportFailure();
}

void KeptLog::write(const std::string& line)
{
    const Status written = m_file.add(line);
    if (!written.ok() && !m_failed) {
        m_failed = true;
        m_unreported = withArguments(laterText(m_form.ini, LaterText::LogFileFailed), {m_file.path(), written.error()});
    }
}

// Taken out first: the report's own line, written to the file that failed, must not report again.
void KeptLog::reportFailure()
{
    if (std::optional<std::string> text = std::exchange(m_unreported, std::nullopt)) {
        m_report(*text);
    }
}

void reportInLog(MainForm& form, const std::string& text)
{
    appendStampedLine(form.window, form.clock, form.texts[35] + ": " + text);
}

void restoreLog(MainForm& form, LogFile& file)
{
    for (const std::string& line : file.lastLines(restoredLines)) {
        form.window.appendLine(line);
    }
    form.window.selectLine(form.window.lineCount() - 1);
}

void keepLog(MainForm& form, KeptLog& kept)
{
    form.window.setLogListener(&kept);
    form.keptLog = &kept;
}

void openLogFile(MainForm& form)
{
    if (form.keptLog == nullptr || form.window.openFile(form.keptLog->path())) {
        return;
    }
    form.window.showMessage(withArguments(laterText(form.ini, LaterText::LogFileNotOpened), {form.keptLog->path()}),
        captionPrefix + form.texts[36]);
}

} // namespace carrovex
