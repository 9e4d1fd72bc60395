#include "platform/win32/TransferBatch.h"

#include "platform/NumberedName.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"

#include <limits>

namespace carrovex::win32
{

namespace
{

std::size_t nameStart(const std::wstring& path)
{
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// The longest name that the volume of the open file takes, in UTF-16 units. Asked before a name is tried,
// as the system's answer to a longer one differs between file systems (and under Wine says "not found");
// 255, the limit of every file system that Windows formats, where the volume does not say.
std::size_t longestNameOn(HANDLE file)
{
    DWORD longest = 0;
    if (!::GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, &longest, nullptr, nullptr, 0) || longest == 0) {
        return 255;
    }
    return longest;
}

} // namespace

bool TransferBatch::Entry::moves() const
{
    return how == Transfer::Move || how == Transfer::MoveReplacing || how == Transfer::FinishMove
        || how == Transfer::MoveKeepingBoth;
}

bool TransferBatch::Entry::replaces() const
{
    return how == Transfer::CopyReplacing || how == Transfer::MoveReplacing;
}

TransferBatch::TransferBatch(BatchLimits limits)
    : m_limits(limits)
{
}

Status TransferBatch::add(const std::wstring& source, const std::wstring& destination, Transfer how)
{
    Entry entry;
    entry.how = how;
    entry.destination = destination;
    Result<Handle> opened = openSource(source, entry.moves());
    if (!opened.ok()) {
        return Status::failure(opened);
    }
    entry.sourceFile = std::move(opened.value());
    const Result<FileState> state = stateOf(entry.sourceFile.get());
    if (!state.ok()) {
        return Status::failure(state);
    }
    entry.source = state.value();
    const Status added = how == Transfer::FinishMove ? holdExistingCopy(entry) : stage(entry);
    if (!added.ok()) {
        return added;
    }
    if (m_entries.empty()) {
        m_started = std::chrono::steady_clock::now();
    }
    m_bytes += entry.source.size;
    m_entries.push_back(std::move(entry));
    return {};
}

Status TransferBatch::stage(Entry& entry)
{
    if (entry.moves()) {
        // Within one volume a rename moves the file whole; its own answer tells when it cannot.
        const DWORD error = renameToFreeName(entry, entry.sourceFile.get());
        if (error == 0) {
            entry.renamed = true;
            return {};
        }
        if (error != ERROR_NOT_SAME_DEVICE) {
            return renameFailure(entry, error);
        }
    }
    const std::wstring folder = folderOf(entry.destination);
    if (m_cleanedFolders.insert(folder).second) {
        removeAbandonedCopies(folder);
    }
    Result<StagedCopy> staged = StagedCopy::make(entry.sourceFile.get(), folder, m_progress);
    if (!staged.ok()) {
        const bool changed = staged.problem() == Problem::ChangedWhileCopied;
        return entry.moves() && changed ? Status::failure(Problem::ChangedWhileMoved) : Status::failure(staged);
    }
    entry.staged.emplace(std::move(staged.value()));
    return {};
}

// The destination already holds what an interrupted move placed; it may not have reached the disk yet.
Status TransferBatch::holdExistingCopy(Entry& entry)
{
    // Written by nobody else until the source is gone. A read-only copy cannot be opened for writing,
    // and so not flushed; it is as old as the run that placed it.
    Handle copy(::CreateFileW(entry.destination.c_str(),
        GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ,
        nullptr,
        OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT,
        nullptr));
    const bool writable = copy.valid();
    if (!writable && ::GetLastError() == ERROR_ACCESS_DENIED) {
        copy = Handle(::CreateFileW(entry.destination.c_str(),
            GENERIC_READ,
            FILE_SHARE_READ,
            nullptr,
            OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT,
            nullptr));
    }
    if (!copy.valid()) {
        return Status::failure(lastErrorText());
    }
    if (writable && !::FlushFileBuffers(copy.get())) {
        return Status::failure(lastErrorText());
    }
    const Result<FileState> state = stateOf(copy.get());
    if (!state.ok()) {
        return Status::failure(state);
    }
    entry.placed = state.value();
    entry.existing = std::move(copy);
    return {};
}

// A name that another file or program took meanwhile is no failure for the *KeepingBoth kinds: they take the
// next number, each try without replacing, so that two programs placing at once never share one name.
// Returns 0 or the system's error of the last try; the entry then names the file as placed.
DWORD TransferBatch::renameToFreeName(Entry& entry, HANDLE file)
{
    const auto taken = [](DWORD error) { return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS; };
    DWORD error = renameOpenFile(file, entry.destination, entry.replaces());
    if (!taken(error) || (entry.how != Transfer::CopyKeepingBoth && entry.how != Transfer::MoveKeepingBoth)) {
        return error;
    }
    entry.nameTaken = true;
    const std::size_t nameAt = nameStart(entry.destination);
    const std::wstring folder = entry.destination.substr(0, nameAt);
    const std::wstring asked = entry.destination.substr(nameAt);
    const std::size_t longest = longestNameOn(file);
    for (int number = 2; taken(error) && number < std::numeric_limits<int>::max(); ++number) {
        const std::wstring name = numberedName(asked, number);
        if (name.size() > longest) {
            return ERROR_FILENAME_EXCED_RANGE;
        }
        const std::wstring numbered = folder + name;
        error = renameOpenFile(file, numbered, false);
        if (error == 0) {
            entry.destination = numbered;
        }
    }
    return error;
}

// A numbered name differs from one that the folder holds only by its number: only its length can be refused.
Status TransferBatch::renameFailure(const Entry& entry, DWORD error) const
{
    const bool tooLong
        = error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME;
    return entry.nameTaken && tooLong ? Status::failure(Problem::NumberedNameTooLong) : win32::renameFailure(error);
}

// Nobody could write to a source since it was staged; this sees any way around that (a file mapped for
// writing before) and a copy that an interrupted move left changed.
void TransferBatch::checkSources()
{
    for (Entry& entry : m_entries) {
        if (entry.error || entry.renamed) {
            continue;
        }
        const Result<FileState> source = stateOf(entry.sourceFile.get());
        if (!source.ok()) {
            entry.error = Status::failure(source);
        } else if (!source.value().sameContent(entry.source)) {
            entry.error = Status::failure(entry.moves() ? Problem::ChangedWhileMoved : Problem::ChangedWhileCopied);
        } else if (entry.how == Transfer::FinishMove) {
            const Result<FileState> copy = stateOf(entry.existing.get());
            if (!copy.ok() || !copy.value().sameContent(entry.placed)) {
                entry.error = Status::failure(Problem::CopyChanged);
            }
        }
        if (entry.error) {
            entry.staged.reset(); // deletes it
        }
    }
}

void TransferBatch::place()
{
    for (Entry& entry : m_entries) {
        if (entry.error || !entry.staged) {
            continue;
        }
        const auto rename = [this, &entry](HANDLE copy) {
            const DWORD error = renameToFreeName(entry, copy);
            return error == 0 ? Status() : renameFailure(entry, error);
        };
        if (Status placed = entry.staged->place(rename); !placed.ok()) {
            entry.error = std::move(placed);
            entry.staged.reset();
            continue;
        }
        entry.staged.reset();
        if (entry.moves()) {
            const Result<FileState> placed = stateAt(entry.destination);
            if (!placed.ok()) {
                entry.error = Status::failure(placed); // the source stays where it is
                continue;
            }
            entry.placed = placed.value();
        }
    }
}

// Only now may a moved file leave its source folder: its copy is whole, in place and on the disk, and the
// source is still what was copied.
void TransferBatch::removeSources()
{
    for (Entry& entry : m_entries) {
        if (entry.error || entry.renamed || !entry.moves()) {
            continue;
        }
        const Result<FileState> placed = stateAt(entry.destination);
        if (!placed.ok() || !placed.value().sameFile(entry.placed)) {
            entry.error = Status::failure(Problem::CopyGone);
            continue;
        }
        if (Status deleted = deleteOpenFile(entry.sourceFile.get()); !deleted.ok()) {
            entry.error = std::move(deleted);
            continue;
        }
        if (!entry.sourceFile.close()) {
            entry.error = Status::failure(lastErrorText());
        }
    }
}

void TransferBatch::reportProgress(ProgressReport report)
{
    m_progress = std::move(report);
}

bool TransferBatch::due() const
{
    if (m_entries.empty()) {
        return false;
    }
    return m_entries.size() >= m_limits.files || m_bytes >= m_limits.bytes
        || std::chrono::steady_clock::now() - m_started >= m_limits.age;
}

std::vector<Placed> TransferBatch::complete()
{
    checkSources();
    place();
    removeSources();
    std::vector<Placed> outcomes;
    outcomes.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        outcomes.push_back(entry.error ? Placed::failure(*entry.error)
                                       : Placed(narrow(entry.destination.substr(nameStart(entry.destination)))));
    }
    m_entries.clear();
    m_cleanedFolders.clear();
    m_bytes = 0;
    return outcomes;
}

} // namespace carrovex::win32
