#include "engine/TransferRun.h"

#include "engine/DestinationDisk.h"
#include "engine/EnableControls.h"
#include "engine/FreeSpaceProbe.h"
#include "form/LaterTexts.h"
#include "form/LogLines.h"
#include "form/MainForm.h"
#include "form/PrintableName.h"
#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "platform/NumberedName.h"
#include "store/IniStore.h"

#include <cstdint>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

namespace
{

// Free space that must stay on the destination after a transfer.
constexpr std::int64_t reserveBytes = 1024;
// What a staged file may take beyond its length: its last block, on the largest blocks in use, and the
// blocks that map its data.
constexpr std::int64_t slackPerFile = std::int64_t {64} << 10;

class TransferRun
{
public:
    explicit TransferRun(MainForm& form)
        : m_form(form)
        , m_window(form.window)
        , m_texts(form.texts)
    {
    }

    void run();

private:
    const std::string& text(int key) const
    {
        return m_texts[static_cast<std::size_t>(key)];
    }

    // A file whose transfer waits in the platform's batch, and the line it gets once it is complete.
    struct Waiting {
        std::string fileName;
        std::string doneLine;
    };

    std::vector<std::string> listFiles();
    std::optional<std::string> destinationDisk();
    void handleFiles(const std::vector<std::string>& names);
    void handleFile();
    void handleExistingDestination(const std::string& sourcePath, const std::string& destinationPath);
    bool keepingBoth() const;
    void keepBoth(const std::string& sourcePath, const std::string& destinationPath);
    bool destinationHasRoom(const std::string& sourcePath);
    bool hasRoomFor(std::int64_t length);
    void transfer(const std::string& sourcePath, const std::string& destinationPath, Transfer how, std::string line);
    void completeWaiting();
    void dropProgressLine();
    void showProgress(std::int64_t done, std::int64_t total);
    std::int64_t destinationFreeBytes();
    const Result<std::string>& driveOf(std::optional<Result<std::string>>& cache, const std::string& folder);
    void outcome(const std::string& line);
    void replaceLastLine(const std::string& line);
    void selectLastLine();
    void fail(const std::string& description);
    void failRun(const std::string& description);
    void failLine(const std::string& message);
    void diskChanged();
    // A failure's description, in the user's language where it is the program's own wording.
    template <class Failed> std::string describe(const Failed& failed) const
    {
        const std::optional<Problem> problem = failed.problem();
        return problem ? problemText(m_form.ini, *problem) : failed.error();
    }

    MainForm& m_form;
    MainWindow& m_window;
    const LanguageTexts& m_texts;
    std::string m_sourceFolder;
    std::string m_destinationFolder;
    // The folders are read once per run, and so are their drives.
    std::optional<Result<std::string>> m_sourceDrive;
    std::optional<Result<std::string>> m_destinationDrive;
    bool m_move = false;
    bool m_keepBoth = false; // a file whose name is taken goes in under a numbered name, unless Overwrite is on
    std::string m_fileName;
    std::int64_t m_fileLength = 0;
    std::string m_progressLine; // the file in hand, without its progress
    bool m_errorFlag = false;
    bool m_handlingFile = false;
    std::vector<Waiting> m_waiting;
    bool m_progressLineWaits = false; // the last line is the progress line of a file in the batch
    bool m_placedAny = false; // a transfer of this run is complete
    bool m_diskChanged = false; // the destination's disk went away: the run ends
    bool m_destinationDriveSeen = false; // a query of this run found the destination's drive
    // The destination's free bytes as last asked in this batch, and what the batch staged since.
    std::optional<std::int64_t> m_freeAsked;
    std::int64_t m_stagedSinceAsked = 0;
};

void TransferRun::run()
{
    // The report must not outlive the run, however the run ends.
    struct ProgressShown {
        FileSystem& files;
        ~ProgressShown()
        {
            files.reportProgress({});
        }
    } progressShown {m_form.files};
    m_form.files.reportProgress([this](std::int64_t done, std::int64_t total) { showProgress(done, total); });
    m_form.state.runErrors = 0;
    m_window.setBusyPointer(true);
    m_sourceFolder = m_window.text(Control::SourceFolder);
    m_destinationFolder = m_window.text(Control::DestinationFolder);
    m_move = m_window.value(Control::Move) != 0;
    m_keepBoth = isOn(m_form.ini, carrovex::keepBoth);
    // Taken before the disk is checked, so that a disk that goes after the check cannot go unseen.
    m_form.files.beginRun(m_destinationFolder);

    const std::vector<std::string> names = listFiles();
    if (names.empty()) {
        if (!m_errorFlag) {
            m_window.appendLine(logStamp(m_form.clock) + text(18) + ": " + text(19) + " ");
        }
        m_errorFlag = false;
    } else if (const std::optional<std::string> disk = destinationDisk()) {
        handleFiles(names);
        if (m_placedAny && !m_diskChanged) {
            // A program started later (the next --once) would not know the disk, and would take its empty
            // mount point for it.
            if (const Status kept = rememberDestinationDisk(m_form, *disk); !kept.ok()) {
                failRun(withArguments(
                    laterText(m_form.ini, LaterText::DiskNotRemembered), {m_form.ini.settingsFile, kept.error()}));
            }
        }
    }
    selectLastLine();
    m_window.setBusyPointer(false);
}

std::vector<std::string> TransferRun::listFiles()
{
    Result<std::vector<std::string>> listing = m_form.files.listPlainFiles(m_sourceFolder);
    if (!listing.ok()) {
        fail(describe(listing));
        return {};
    }
    return listing.value();
}

// The destination's disk, when the run may transfer onto it; otherwise the run's one line says why not.
std::optional<std::string> TransferRun::destinationDisk()
{
    const Result<std::string> disk = destinationDiskNow(m_form, m_destinationFolder);
    if (!disk.ok()) {
        failRun(describe(disk));
        return std::nullopt;
    }
    if (!isTheDiskItWas(m_form, disk.value())) {
        failRun(withArguments(laterText(m_form.ini, LaterText::NotTheDiskItWas), {m_destinationFolder}));
        return std::nullopt;
    }
    return disk.value();
}

void TransferRun::handleFiles(const std::vector<std::string>& names)
{
    WindowState& state = m_form.state;
    state.busy = true;
    const std::string count = std::to_string(names.size());
    EnableControls(m_form, false, names.size() == 1 ? text(29) : text(30), count);

    std::size_t index = 0;
    for (; index < names.size(); ++index) {
        selectLastLine();
        m_window.processEvents();
        if (state.cancelRequested || m_diskChanged) {
            break;
        }
        m_fileName = names[index];
        dropProgressLine();
        m_window.appendLine("Do Action");
        selectLastLine();
        handleFile();
        if (!m_waiting.empty() && m_form.files.batchDue()) {
            completeWaiting();
        }
    }
    completeWaiting();

    if (state.cancelRequested) {
        m_window.appendLine(cancelLine(m_form, m_move, index));
        state.cancelRequested = false;
    }
    EnableControls(m_form, true, "", "");
    state.busy = false;
}

// The outcome line of a file in the batch is written only once its transfer is complete, so that "Moved"
// or "Copied" never stands for a file that a kill or a power cut could still take back. The lines of a
// batch come together, in the order of their files; meanwhile the progress line shows the file in hand.
void TransferRun::completeWaiting()
{
    if (m_waiting.empty()) {
        return;
    }
    const std::vector<Placed> outcomes = m_form.files.completeBatch();
    dropProgressLine();
    for (std::size_t i = 0; i < m_waiting.size(); ++i) {
        m_fileName = m_waiting[i].fileName;
        if (i >= outcomes.size()) {
            fail(laterText(m_form.ini, LaterText::OutcomeUnknown));
        } else if (outcomes[i].problem() == Problem::DestinationDiskChanged) {
            diskChanged();
        } else if (!outcomes[i].ok()) {
            fail(describe(outcomes[i]));
        } else {
            m_placedAny = true;
            std::string line = m_waiting[i].doneLine;
            const std::string& placedName = outcomes[i].value();
            if (!line.empty() && placedName != m_fileName) {
                line = (m_move ? text(26) : text(25)) + " ("
                    + withArguments(laterText(m_form.ini, LaterText::KeptAs), {printableName(placedName)}) + "): ";
            }
            if (!line.empty()) {
                m_window.appendLine(logStamp(m_form.clock) + line + printableName(m_fileName));
            }
        }
    }
    m_waiting.clear();
    m_errorFlag = false;
    m_freeAsked.reset();
}

void TransferRun::dropProgressLine()
{
    if (m_progressLineWaits) {
        m_progressLineWaits = false;
        m_window.removeLastLine();
    }
}

// A large file takes long enough to stage that the user must see it move, and see that a Cancel is taken.
void TransferRun::showProgress(std::int64_t done, std::int64_t total)
{
    // Another line may have come after the progress line meanwhile (a change of language): it stays.
    const int last = m_window.lineCount() - 1;
    if (!m_handlingFile || m_errorFlag || total <= 0 || !m_window.lineText(last).starts_with(m_progressLine)) {
        return;
    }
    constexpr int mebibyteShift = 20;
    std::string line = m_progressLine + " - "
        + withArguments(laterText(m_form.ini, LaterText::FileProgress),
            {std::to_string(done * 100 / total),
                std::to_string(done >> mebibyteShift),
                std::to_string((total + (std::int64_t {1} << mebibyteShift) - 1) >> mebibyteShift)});
    if (m_form.state.cancelRequested) {
        line += " - " + laterText(m_form.ini, LaterText::StoppingAfterFile);
    }
    replaceLastLine(line);
}

void TransferRun::handleFile()
{
    m_handlingFile = true;
    try {
        m_progressLine = (m_move ? text(28) : text(27)) + ": " + printableName(m_fileName);
        replaceLastLine(m_progressLine);
        selectLastLine();
        m_window.processEvents();

        const std::string sourcePath = m_form.files.joinPath(m_sourceFolder, m_fileName);
        const std::string destinationPath = m_form.files.joinPath(m_destinationFolder, m_fileName);
        const Result<bool> exists = m_form.files.fileExists(destinationPath);
        if (!exists.ok()) {
            fail(describe(exists)); // a failed test counts as passed
        }
        const std::string& notDone = m_move ? text(21) : text(22);
        if (!exists.ok() || exists.value()) {
            handleExistingDestination(sourcePath, destinationPath);
        } else if (destinationHasRoom(sourcePath)) {
            // Kept both also when another program takes the name before the file is placed.
            const Transfer how = keepingBoth() ? (m_move ? Transfer::MoveKeepingBoth : Transfer::CopyKeepingBoth)
                                               : (m_move ? Transfer::Move : Transfer::Copy);
            transfer(sourcePath, destinationPath, how, (m_move ? text(26) : text(25)) + ": ");
        } else if (!m_diskChanged) {
            outcome(notDone + " - " + text(20) + ": ");
        }
    } catch (const std::exception& error) {
        fail(error.what());
    }
    m_errorFlag = false;
    m_handlingFile = false;
}

void TransferRun::handleExistingDestination(const std::string& sourcePath, const std::string& destinationPath)
{
    const std::string existsLine = (m_move ? text(21) : text(22)) + " (" + text(24) + "): ";
    const bool overwrite = m_window.value(Control::Overwrite) != 0;
    if (!overwrite && !m_move && !keepingBoth()) {
        outcome(existsLine);
        return;
    }
    // Replacing a file by itself (one folder under two names, or a hard link) would delete it, and so would
    // removing a source whose "copy" is the file itself.
    const Result<bool> same = m_form.files.sameFile(sourcePath, destinationPath);
    if (!same.ok()) {
        fail(describe(same));
        return;
    }
    if (same.value()) {
        outcome(existsLine);
        return;
    }
    if (keepingBoth()) {
        keepBoth(sourcePath, destinationPath);
        return;
    }
    // A move that was cut short (killed, or the power failed) left a whole copy: finish it, so that no file
    // stays in both folders for good.
    if (m_move) {
        const Result<bool> identical = m_form.files.sameContent(sourcePath, destinationPath);
        if (!identical.ok()) {
            fail(describe(identical));
            return;
        }
        if (identical.value()) {
            transfer(sourcePath, destinationPath, Transfer::FinishMove, text(26) + ": ");
            return;
        }
    }
    if (!overwrite) {
        outcome(existsLine);
        return;
    }
    transfer(sourcePath,
        destinationPath,
        m_move ? Transfer::MoveReplacing : Transfer::CopyReplacing,
        (m_move ? text(26) : text(25)) + " (" + text(23) + "): ");
}

// Overwrite, when it is on, has the say.
bool TransferRun::keepingBoth() const
{
    return m_keepBoth && m_window.value(Control::Overwrite) == 0;
}

// A file whose name is taken in the destination goes in beside the other, under a numbered name, unless one
// of those names already holds its bytes: a copied file is found again by every run, and a move cut short
// left its whole copy, which is finished. The names are tried in order up to the first free one.
void TransferRun::keepBoth(const std::string& sourcePath, const std::string& destinationPath)
{
    std::string candidate = destinationPath;
    for (int number = 2; number < std::numeric_limits<int>::max(); ++number) {
        const Result<bool> identical = m_form.files.sameContent(sourcePath, candidate);
        if (!identical.ok()) {
            fail(describe(identical));
            return;
        }
        if (identical.value()) {
            if (m_move) {
                transfer(sourcePath, candidate, Transfer::FinishMove, text(26) + ": ");
            } else {
                outcome(text(22) + " (" + text(24) + "): ");
            }
            return;
        }
        candidate = m_form.files.joinPath(m_destinationFolder, numberedName(m_fileName, number));
        // A name that cannot be asked for (too long for the disk) ends the search: the placement, which
        // never replaces, has the last word and the clearer failure.
        const Result<bool> exists = m_form.files.fileExists(candidate);
        if (!exists.ok() || !exists.value()) {
            break;
        }
    }
    if (destinationHasRoom(sourcePath)) {
        transfer(sourcePath,
            destinationPath,
            m_move ? Transfer::MoveKeepingBoth : Transfer::CopyKeepingBoth,
            (m_move ? text(26) : text(25)) + ": ");
    } else if (!m_diskChanged) {
        outcome((m_move ? text(21) : text(22)) + " - " + text(20) + ": ");
    }
}

bool TransferRun::destinationHasRoom(const std::string& sourcePath)
{
    if (m_move) {
        const Result<std::string>& destinationDrive = driveOf(m_destinationDrive, m_destinationFolder);
        const Result<std::string>& sourceDrive = driveOf(m_sourceDrive, m_sourceFolder);
        bool sameDrive = true; // a failed comparison counts as equal drives
        if (!destinationDrive.ok()) {
            fail(describe(destinationDrive));
        } else if (!sourceDrive.ok()) {
            fail(describe(sourceDrive));
        } else {
            sameDrive = destinationDrive.value() == sourceDrive.value();
        }
        if (sameDrive) {
            // A rename needs no room for the file's data.
            return hasRoomFor(0);
        }
    }
    const Result<std::int64_t> length = m_form.files.fileLength(sourcePath);
    if (length.ok()) {
        m_fileLength = length.value();
    } else {
        fail(describe(length)); // the length of the previous file stands
    }
    return hasRoomFor(m_fileLength);
}

// The file system is asked once per batch while the answer leaves room to spare: what the batch has
// staged since, with the most each file can take beyond its length, is subtracted from its answer. Near
// the limit it is asked for each file, so that every file gets the outcome a fresh answer gives.
bool TransferRun::hasRoomFor(std::int64_t length)
{
    if (m_freeAsked && length < *m_freeAsked - m_stagedSinceAsked - slackPerFile - reserveBytes) {
        m_stagedSinceAsked += length + slackPerFile;
        return true;
    }
    const std::int64_t free = destinationFreeBytes();
    // A drive that cannot be named is asked again for each file, so that each gets its line.
    const bool named = driveOf(m_destinationDrive, m_destinationFolder).ok();
    m_freeAsked = named ? std::optional<std::int64_t>(free) : std::nullopt;
    const bool fits = length < free - reserveBytes;
    m_stagedSinceAsked = fits ? length + slackPerFile : 0;
    return fits;
}

// Free bytes on the destination's drive; when its drive cannot be named the test counts as passed.
std::int64_t TransferRun::destinationFreeBytes()
{
    const Result<std::string>& drive = driveOf(m_destinationDrive, m_destinationFolder);
    if (!drive.ok()) {
        fail(describe(drive));
        return std::numeric_limits<std::int64_t>::max();
    }
    const std::int64_t free = driveFreeBytes(drive.value(), m_form.drives);
    if (free >= 0) {
        m_destinationDriveSeen = true;
    } else if (m_destinationDriveSeen) {
        diskChanged(); // the drive that this run has been filling is mounted no more
    }
    return free;
}

const Result<std::string>& TransferRun::driveOf(std::optional<Result<std::string>>& cache, const std::string& folder)
{
    if (!cache) {
        cache.emplace(m_form.drives.driveName(folder));
    }
    return *cache;
}

// The file's progress line stays until its transfer is complete (completeWaiting).
void TransferRun::transfer(
    const std::string& sourcePath, const std::string& destinationPath, Transfer how, std::string line)
{
    const Status started = m_form.files.startTransfer(sourcePath, destinationPath, how);
    if (started.problem() == Problem::DestinationDiskChanged) {
        diskChanged();
        return;
    }
    if (!started.ok()) {
        fail(describe(started));
        return;
    }
    // After a failed earlier step the file's error line stands in place of its progress line, and a
    // completed transfer adds no outcome line to it.
    m_waiting.push_back({m_fileName, m_errorFlag ? std::string() : std::move(line)});
    m_progressLineWaits = !m_errorFlag;
}

void TransferRun::outcome(const std::string& line)
{
    if (!m_errorFlag) {
        replaceLastLine(logStamp(m_form.clock) + line + printableName(m_fileName));
    }
}

void TransferRun::replaceLastLine(const std::string& line)
{
    m_window.removeLastLine();
    m_window.appendLine(line);
}

void TransferRun::selectLastLine()
{
    m_window.selectLine(m_window.lineCount() - 1);
}

// Outside the handling of a file the error line is added rather than put in place of the last line, so
// that no failure erases the record of another file or of Start.
void TransferRun::fail(const std::string& description)
{
    failLine(text(35) + ": " + description + " - " + printableName(m_fileName));
}

// A failure of the run as a whole, which no file's name would explain.
void TransferRun::failRun(const std::string& description)
{
    failLine(text(35) + ": " + description);
}

// However many transfers it strikes, the disk that went away is told once, and no file is blamed.
void TransferRun::diskChanged()
{
    if (!m_diskChanged) {
        m_diskChanged = true;
        failRun(problemText(m_form.ini, Problem::DestinationDiskChanged));
    }
}

void TransferRun::failLine(const std::string& message)
{
    m_errorFlag = true;
    ++m_form.state.runErrors;
    try {
        if (m_handlingFile && m_window.lineCount() > 0) {
            m_window.removeLastLine();
        }
        const std::string line = logStamp(m_form.clock) + message;
        m_window.appendLine(line);
        if (m_form.state.runErrors == 1) {
            m_form.run.firstError = line;
        }
    } catch (...) {
        // The record is lost, but the run and the program go on.
    }
}

} // namespace

void DoAction(MainForm& form)
{
    try {
        TransferRun(form).run();
    } catch (...) {
        // Only the bookkeeping around the files can get here (memory exhausted); leave the window usable.
        ++form.state.runErrors;
        try {
            // Whatever was accepted is completed, so that no later run meets its outcomes.
            static_cast<void>(form.files.completeBatch());
            if (form.state.busy) {
                EnableControls(form, true, "", "");
            }
            form.window.setBusyPointer(false);
        } catch (...) {
        }
        form.state.busy = false;
    }
}

} // namespace carrovex
