#pragma once

#include "platform/MainWindow.h"

#include <functional>
#include <optional>
#include <string>

namespace carrovex
{

class LogFile;
struct MainForm;

// Keeps each final line of the window's log in the log file. A line is final once the next one comes after
// it, or, outside a run (which is the only one to replace its last line), at once. The first failure to
// write is reported once, through report, where it cannot take the place of a line that a run still
// replaces; the lines go on being tried, and a run never waits for the file.
class KeptLog final : public LogListener
{
public:
    KeptLog(const MainForm& form, LogFile& file, std::function<void(const std::string&)> report);
    KeptLog(const KeptLog&) = delete;
    KeptLog& operator=(const KeptLog&) = delete;

    const std::string& path() const;

    void lineAppended(const std::string& line) override;
    void lastLineRemoved() override;

    // The run has returned: its last line is final.
    void runEnded();

private:
    void write(const std::string& line);
    void reportFailure();

    const MainForm& m_form;
    LogFile& m_file;
    std::function<void(const std::string&)> m_report;
    std::optional<std::string> m_pendingLine;
    bool m_failed = false;
    std::optional<std::string> m_unreported;
};

// The window programs' report of a log file that cannot be written: an error line in the log.
void reportInLog(MainForm& form, const std::string& text);

// Shows the newest lines of the log file (up to 200) in the window, so that it reopens where it left off.
void restoreLog(MainForm& form, LogFile& file);

// Keeps every final line from now on.
void keepLog(MainForm& form, KeptLog& kept);

// Opens the kept log file in the desktop's program for it; one that cannot be opened is told in a message.
// Nothing where no log file is kept.
void openLogFile(MainForm& form);

} // namespace carrovex
