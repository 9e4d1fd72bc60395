#include "platform/posix/TransferBatch.h"

#include "platform/NumberedName.h"
#include "platform/posix/LeavingSource.h"
#include "platform/posix/PathParts.h"
#include "platform/posix/SourceLock.h"
#include "platform/posix/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

// Up to this many files a flush of each costs less than a flush of the whole file system.
constexpr std::size_t fewFiles = 4;

// Folders whose durability the file system cannot be asked for (FUSE without fsync on folders) write their
// entries through.
bool cannotFlushFolder(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

std::optional<std::uint64_t> deviceOf(const std::string& path)
{
    struct stat info {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_dev);
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

TransferBatch::~TransferBatch()
{
    for (Entry& entry : m_entries) {
        if (entry.staged && !entry.placed) {
            discardCopy(*entry.staged, entry.folder->fd.get());
        }
    }
}

void TransferBatch::pin(const std::string& destinationFolder)
{
    m_pinnedFolder = destinationFolder;
    m_pinnedDevice = deviceOf(destinationFolder);
}

Result<TransferBatch::Folder*> TransferBatch::folderFor(const std::string& path)
{
    for (const auto& folder : m_folders) {
        if (folder->path == path) {
            return folder.get();
        }
    }
    if (m_cleanedFolders.insert(path).second) {
        removeAbandonedCopies(path);
    }
    // Opened before anything of this batch is written into it, so that a flush through it reports every
    // write-back failure of the batch.
    auto folder = std::make_unique<Folder>();
    folder->path = path;
    folder->fd = FileDescriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder->fd.get() < 0 && errno == EACCES) {
        // A drop folder that may be written but not read: names and files are still reached through it.
        folder->fd = FileDescriptor(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        folder->readable = false;
    }
    struct stat info {
    };
    if (folder->fd.get() < 0 || ::fstat(folder->fd.get(), &info) != 0) {
        return Result<Folder*>::failure(lastErrorText());
    }
    folder->device = static_cast<std::uint64_t>(info.st_dev);
    // A disk unmounted since the run began leaves its mount point, a folder of the disk above it.
    if (path == m_pinnedFolder && m_pinnedDevice && folder->device != *m_pinnedDevice) {
        return Result<Folder*>::failure(Problem::DestinationDiskChanged);
    }
    folder->flushEachFile = storedBeyondKernel(folder->fd.get());
    m_folders.push_back(std::move(folder));
    return m_folders.back().get();
}

Result<TransferBatch::SourceFolder*> TransferBatch::sourceFolderFor(const std::string& path)
{
    for (const auto& folder : m_sourceFolders) {
        if (folder->path == path) {
            return folder.get();
        }
    }
    auto folder = std::make_unique<SourceFolder>();
    folder->path = path;
    folder->fd = FileDescriptor(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder->fd.get() < 0) {
        // Gone since it was listed, with the file.
        return errno == ENOENT ? Result<SourceFolder*>::failure(Problem::TakenByAnother)
                               : Result<SourceFolder*>::failure(lastErrorText());
    }
    m_sourceFolders.push_back(std::move(folder));
    return m_sourceFolders.back().get();
}

Status TransferBatch::add(const std::string& source, const std::string& destination, Transfer how)
{
    const Result<SourceFolder*> sourceFolder = sourceFolderFor(folderOf(source));
    if (!sourceFolder.ok()) {
        return Status::failure(sourceFolder);
    }
    const int sourceFolderFd = sourceFolder.value()->fd.get();
    const std::string sourceName = nameOf(source);
    FileDescriptor in(::openat(sourceFolderFd, sourceName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0) {
        // Listed moments ago: another program took it meanwhile.
        return errno == ENOENT ? Status::failure(Problem::TakenByAnother) : Status::failure(lastErrorText());
    }
    Entry entry;
    entry.how = how;
    // Held from here until the source is removed or the batch ends, also over a rename: closing `in` lets
    // it go.
    struct stat info {
    };
    if (const Status locked = lockSource(in.get(), sourceFolderFd, sourceName, entry.moves(), info); !locked.ok()) {
        return locked;
    }
    if (!S_ISREG(info.st_mode)) {
        return Status::failure(Problem::NotRegularFile);
    }
    entry.sourceFolder = sourceFolder.value();
    entry.sourceName = sourceName;
    entry.destination = destination;
    entry.name = nameOf(destination);
    entry.sourceIdentity = identityFrom(info);
    const Status added = how == Transfer::FinishMove ? addExistingCopy(entry) : stage(entry, in.get(), info);
    if (!added.ok()) {
        return added;
    }
    if (m_entries.empty()) {
        m_started = std::chrono::steady_clock::now();
    }
    m_bytes += info.st_size;
    if (!entry.renamed) {
        entry.sourceFd = std::move(in); // asked for its lease before the copy is placed
    }
    m_entries.push_back(std::move(entry));
    return {};
}

bool TransferBatch::leaseSeesEveryWriter(int fd, std::uint64_t device)
{
    const auto known = m_leaseSeesEveryWriter.find(device);
    if (known != m_leaseSeesEveryWriter.end()) {
        return known->second;
    }
    return m_leaseSeesEveryWriter[device] = !storedBeyondKernel(fd);
}

Status TransferBatch::stage(Entry& entry, int sourceFd, const struct stat& info)
{
    const Result<Folder*> folder = folderFor(folderOf(entry.destination));
    if (!folder.ok()) {
        return Status::failure(folder);
    }
    entry.folder = folder.value();
    // Within one file system a rename moves the file whole; its own answer tells when it cannot (two mounts
    // of one file system). A copy is asked about writers only before it is placed: a file in use is rare,
    // and its wasted copy costs less than asking every file twice.
    if (entry.moves() && entry.folder->device == entry.sourceIdentity.device) {
        entry.use = checkUse(sourceFd,
            leaseSeesEveryWriter(sourceFd, entry.sourceIdentity.device),
            m_limits.settleTime,
            m_writersWhileAdding);
        if (!entry.use.free()) {
            return Status::failure(useProblem(entry.use));
        }
        // Into the opened folder, which is on the disk the run began with, whatever its path leads to now.
        const int folderFd = entry.folder->fd.get();
        const int sourceFolderFd = entry.sourceFolder->fd.get();
        const int error = entry.replaces()
            ? (::renameat(sourceFolderFd, entry.sourceName.c_str(), folderFd, entry.name.c_str()) == 0 ? 0 : errno)
            : placeUnderFreeName(entry, [&entry, sourceFolderFd, folderFd](const std::string& name) {
                  return renameWithoutReplacing(sourceFolderFd, entry.sourceName, folderFd, name);
              });
        if (error != EXDEV) {
            if (error != 0) {
                return entry.nameTaken ? placeFailure(entry, error) : Status::failure(systemErrorText(error));
            }
            entry.placed = entry.renamed = true;
        }
    }
    if (entry.moves() && !entry.renamed && !mayRemoveFrom(entry.sourceFolder->path)) {
        // A source that could not be removed afterwards would leave the file twice.
        return Status::failure(lastErrorText());
    }
    if (entry.renamed) {
        // A rename keeps the file whole even for a writer who opens it right now; closing the source
        // lets the lease go.
        entry.folder->placedAny = true;
        return {};
    }
    // A program that opens the file for writing while it is copied need not wait: the checks before the
    // copy is placed tell whether it wrote.
    if (entry.use.leased) {
        letLeaseGo(sourceFd);
    }
    ThrottledProgress progress(m_progress, static_cast<std::int64_t>(info.st_size));
    Result<StagedCopy> staged = stageCopy(sourceFd, info, entry.folder->fd.get(), progress);
    if (!staged.ok()) {
        const bool changed = staged.problem() == Problem::ChangedWhileCopied;
        return entry.moves() && changed ? Status::failure(Problem::ChangedWhileMoved) : Status::failure(staged);
    }
    entry.staged = std::move(staged.value());
    entry.needsFlush = true;
    if (!entry.folder->flushEachFile) {
        m_writeback.begin(entry.folder->fd.get()); // the batch's flush covers the whole file system
    }
    if (info.st_size >= m_limits.largeFile) {
        flushOne(entry);
        if (entry.error) {
            return *entry.error;
        }
    }
    return {};
}

// Asked once per source folder and batch: the batch's files almost always share one.
bool TransferBatch::mayRemoveFrom(const std::string& sourceFolder)
{
    if (m_removableFolder != sourceFolder) {
        if (::access(sourceFolder.c_str(), W_OK) != 0) {
            return false;
        }
        m_removableFolder = sourceFolder;
    }
    return true;
}

// The destination already holds what an interrupted move placed; it may not have reached the disk yet.
Status TransferBatch::addExistingCopy(Entry& entry)
{
    entry.existing = FileDescriptor(::open(entry.destination.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {
    };
    if (entry.existing.get() < 0 || ::fstat(entry.existing.get(), &info) != 0) {
        return Status::failure(lastErrorText());
    }
    const Result<Folder*> folder = folderFor(folderOf(entry.destination));
    if (!folder.ok()) {
        return Status::failure(folder);
    }
    entry.folder = folder.value();
    entry.folder->placedAny = true;
    entry.placedIdentity = identityFrom(info);
    entry.placed = true;
    entry.needsFlush = true;
    return {};
}

// A name that another file or program took meanwhile is no failure for the *KeepingBoth kinds: they take the
// next number, each try without replacing, so that two programs placing at once never share one name.
// Returns 0 or the errno of the last try; the entry then names the file as placed.
int TransferBatch::placeUnderFreeName(Entry& entry, const std::function<int(const std::string& name)>& place)
{
    int error = place(entry.name);
    if (error != EEXIST || (entry.how != Transfer::CopyKeepingBoth && entry.how != Transfer::MoveKeepingBoth)) {
        return error;
    }
    entry.nameTaken = true;
    // Asked before trying, as some file systems (through FUSE) shorten a long name rather than refuse it.
    const long longest = ::fpathconf(entry.folder->fd.get(), _PC_NAME_MAX);
    const std::string asked = entry.name;
    for (int number = 2; error == EEXIST && number < std::numeric_limits<int>::max(); ++number) {
        const std::string numbered = numberedName(asked, number);
        if (longest > 0 && numbered.size() > static_cast<std::size_t>(longest)) {
            return ENAMETOOLONG;
        }
        error = place(numbered);
        if (error == 0) {
            entry.name = numbered;
            entry.destination = folderOf(entry.destination) + "/" + numbered;
        }
    }
    return error;
}

Status TransferBatch::placeFailure(const Entry& entry, int error)
{
    // The folder took our staged copy, so a refused name is the name's fault; a numbered name differs from
    // one that the folder holds only by its number, so only its length can be refused.
    struct stat folderInfo {
    };
    const bool folderThere = ::fstat(entry.folder->fd.get(), &folderInfo) == 0 && folderInfo.st_nlink > 0;
    if ((entry.nameTaken && error == ENAMETOOLONG) || (refusesName(error) && folderThere)) {
        return Status::failure(entry.nameTaken ? Problem::NumberedNameTooLong : Problem::NameRefused);
    }
    return Status::failure(systemErrorText(error));
}

// A folder whose path leads to another file system than the opened folder's: its disk was unmounted (a
// lazy unmount leaves the opened folder working on the detached disk) or is gone. Its copies cannot be
// confirmed by their names, so nothing more is placed there and no source of a copy there is removed.
void TransferBatch::failWhereDiskChanged()
{
    for (const auto& folder : m_folders) {
        if (deviceOf(folder->path) == folder->device) {
            continue;
        }
        for (Entry& entry : m_entries) {
            if (entry.folder == folder.get() && !entry.error && !entry.renamed) {
                fail(entry, Status::failure(Problem::DestinationDiskChanged));
            }
        }
    }
}

void TransferBatch::fail(Entry& entry, Status failure)
{
    entry.error = std::move(failure);
    if (entry.staged && !entry.placed) {
        discardCopy(*entry.staged, entry.folder->fd.get());
    }
}

void TransferBatch::flushOne(Entry& entry)
{
    const int fd = entry.staged ? entry.staged->file.get() : entry.existing.get();
    if (::fdatasync(fd) != 0) {
        fail(entry, lastErrorText());
        return;
    }
    entry.needsFlush = false;
    entry.existing.reset();
    // A named copy is closed before it is placed: some file systems (NFS) report a failed write only there.
    if (entry.staged && !entry.staged->name.empty()) {
        if (const int error = entry.staged->file.close(); error != 0) {
            fail(entry, systemErrorText(error));
        }
    }
}

// Small files share one flush of their file system; where it fails, or cannot reach the storage, each file
// is flushed on its own, so that a failure is reported for the files it concerns.
void TransferBatch::flush()
{
    std::map<std::uint64_t, std::vector<Entry*>> byDevice;
    for (Entry& entry : m_entries) {
        if (!entry.error && entry.needsFlush) {
            byDevice[entry.folder->device].push_back(&entry);
        }
    }
    for (auto& [device, entries] : byDevice) {
        const Folder& folder = *entries.front()->folder;
        if (!folder.flushEachFile && entries.size() > fewFiles && ::syncfs(folder.fd.get()) == 0) {
            for (Entry* entry : entries) {
                entry->needsFlush = false;
                entry->existing.reset();
                if (entry->staged && !entry->staged->name.empty()) {
                    if (const int error = entry->staged->file.close(); error != 0) {
                        fail(*entry, systemErrorText(error));
                    }
                }
            }
            continue;
        }
        for (Entry* entry : entries) {
            flushOne(*entry);
        }
    }
}

// The source must still be the file that was copied, and nobody may have it open for writing; for a move
// the lease is kept until the source is removed.
void TransferBatch::checkSources()
{
    OtherWriters writers;
    for (Entry& entry : m_entries) {
        if (entry.error || entry.renamed) {
            continue;
        }
        // Asked first, so that from here on no write can come unseen: a writer must break the lease.
        if (!stillFree(entry, writers)) {
            continue;
        }
        // The name must still lead to the very file that was copied, unchanged.
        const Result<FileIdentity> source = sourceIdentity(entry.sourceFolder->fd.get(),
            entry.sourceName,
            entry.placed ? Problem::TakenLeavingCopy : Problem::TakenByAnother);
        if (!source.ok()) {
            fail(entry, Status::failure(source));
            continue;
        }
        if (source.value() != entry.sourceIdentity) {
            fail(entry, Status::failure(entry.moves() ? Problem::ChangedWhileMoved : Problem::ChangedWhileCopied));
            continue;
        }
        if (entry.how == Transfer::FinishMove) {
            const Result<FileIdentity> copy = identityOf(entry.destination);
            if (!copy.ok() || copy.value() != entry.placedIdentity) {
                fail(entry, Status::failure(Problem::CopyChanged));
            }
        }
    }
}

// Asks again whether a writer has the source; a source in use fails its transfer.
bool TransferBatch::stillFree(Entry& entry, OtherWriters& writers)
{
    entry.use = checkUse(entry.sourceFd.get(),
        leaseSeesEveryWriter(entry.sourceFd.get(), entry.sourceIdentity.device),
        m_limits.settleTime,
        writers,
        entry.use);
    if (!entry.use.free()) {
        fail(entry, Status::failure(useProblem(entry.use)));
        return false;
    }
    return true;
}

void TransferBatch::place()
{
    for (Entry& entry : m_entries) {
        if (entry.error || entry.placed) {
            continue;
        }
        const int folderFd = entry.folder->fd.get();
        const int error = placeUnderFreeName(entry, [&entry, folderFd](const std::string& name) {
            return placeCopy(*entry.staged, folderFd, name, entry.replaces());
        });
        if (error != 0) {
            fail(entry, placeFailure(entry, error));
            continue;
        }
        entry.placed = true;
        entry.folder->placedAny = true;
        struct stat info {
        };
        if (entry.moves() && ::fstatat(folderFd, entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.placedIdentity = identityFrom(info);
        }
        entry.staged.reset();
    }
}

// One flush of each destination folder makes every name placed in it durable.
void TransferBatch::makeDurable()
{
    for (const auto& folder : m_folders) {
        if (!folder->placedAny || flushNames(*folder) == 0) {
            continue;
        }
        const std::string description = lastErrorText();
        for (Entry& entry : m_entries) {
            if (entry.folder == folder.get() && entry.placed && !entry.error) {
                fail(entry, description);
            }
        }
    }
}

// Only now may a moved file leave its source folder: its copy is whole, in place and durable, and the source
// is still what was copied and nobody has asked to write to it since it was checked.
void TransferBatch::removeSources()
{
    OtherWriters writers;
    std::vector<Entry*> leaving;
    for (Entry& entry : m_entries) {
        if (entry.error || entry.renamed || !entry.moves()) {
            continue;
        }
        if (entry.use.leased && !leaseUnbroken(entry.sourceFd.get())) {
            entry.use.state = FileUse::State::OpenForWriting;
            fail(entry, Status::failure(useProblem(entry.use)));
            continue;
        }
        // Where the settle time decided, nothing kept a writer from coming since: ask again.
        if (entry.use.changedAt && !stillFree(entry, writers)) {
            continue;
        }
        const Result<FileIdentity> placed = identityOf(entry.destination);
        if (!placed.ok() || !placed.value().sameInode(entry.placedIdentity)) {
            fail(entry, Status::failure(Problem::CopyGone));
            continue;
        }
        if (setAside(entry)) {
            leaving.push_back(&entry);
        }
    }
    if (leaving.empty()) {
        return;
    }
    // A writer whose open had found the name just before it was set aside meets the lease only now.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    OtherWriters writersNow;
    for (Entry* entry : leaving) {
        removeSetAside(*entry, writersNow);
    }
}

// Renames the source to its hidden name, so that from now on nobody can open it by its name and whatever
// another program puts at the name is left alone; what was renamed is checked afterwards. Returns false
// where it is gone instead: removed at once (where the hidden name cannot be had, as for a name too long
// for it) or failed.
bool TransferBatch::setAside(Entry& entry)
{
    const int folderFd = entry.sourceFolder->fd.get();
    const std::string aside = leavingName(entry.sourceName);
    const int error = renameWithoutReplacing(folderFd, entry.sourceName, folderFd, aside);
    if (error == 0) {
        entry.aside = aside;
        return true;
    }
    // Only a program that locks nothing can have taken or changed it under the lock.
    const Result<FileIdentity> source = sourceIdentity(folderFd, entry.sourceName, Problem::TakenLeavingCopy);
    if (!source.ok()) {
        fail(entry, Status::failure(source));
    } else if (source.value() != entry.sourceIdentity) {
        fail(entry, Status::failure(Problem::ChangedWhileMoved));
    } else if (::unlinkat(folderFd, entry.sourceName.c_str(), 0) != 0) {
        fail(entry, errno == ENOENT ? Status::failure(Problem::TakenLeavingCopy) : Status::failure(lastErrorText()));
    }
    return false;
}

// Removes the set-aside source, unless it is not the file that was copied (another program had put its own
// file at the name) or a writer has come for it; such a file gets its name back.
void TransferBatch::removeSetAside(Entry& entry, OtherWriters& writers)
{
    const int folderFd = entry.sourceFolder->fd.get();
    const Result<FileIdentity> aside = sourceIdentity(folderFd, entry.aside, Problem::TakenLeavingCopy);
    if (!aside.ok()) {
        fail(entry, Status::failure(Problem::TakenLeavingCopy));
        return;
    }
    if (aside.value() != entry.sourceIdentity) {
        putBack(entry, Status::failure(Problem::ChangedWhileMoved));
        return;
    }
    const bool writerCame = entry.use.leased ? !leaseUnbroken(entry.sourceFd.get())
                                             : writers.writing(entry.sourceIdentity.device, entry.sourceIdentity.inode);
    if (writerCame) {
        putBack(entry, Status::failure(Problem::OpenForWriting));
        return;
    }
    if (::unlinkat(folderFd, entry.aside.c_str(), 0) != 0) {
        putBack(entry, Status::failure(lastErrorText()));
    }
}

void TransferBatch::putBack(Entry& entry, Status failure)
{
    giveNameBack(entry.sourceFolder->fd.get(), entry.aside, entry.sourceName);
    letLeaseGo(entry.sourceFd.get()); // the writer that came need not wait for the batch to end
    fail(entry, std::move(failure));
}

// Returns 0 or the errno of the failure.
int TransferBatch::flushNames(const Folder& folder)
{
    if (folder.readable) {
        return ::fsync(folder.fd.get()) == 0 || cannotFlushFolder(errno) ? 0 : errno;
    }
    // An unreadable folder cannot be flushed itself; a flush of its file system through a file placed in it
    // covers its names too.
    for (const Entry& entry : m_entries) {
        if (entry.folder == &folder && entry.placed && !entry.error) {
            const FileDescriptor placed(
                ::openat(folder.fd.get(), entry.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            return placed.get() >= 0 && ::syncfs(placed.get()) == 0 ? 0 : errno;
        }
    }
    return 0;
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
    m_writeback.end();
    flush();
    failWhereDiskChanged();
    checkSources();
    failWhereDiskChanged();
    place();
    makeDurable();
    failWhereDiskChanged();
    removeSources();
    std::vector<Placed> outcomes;
    outcomes.reserve(m_entries.size());
    std::vector<FileDescriptor> removed;
    for (Entry& entry : m_entries) {
        outcomes.push_back(entry.error ? Placed::failure(*entry.error) : Placed(entry.name));
        if (!entry.error && entry.moves() && !entry.renamed) {
            removed.push_back(std::move(entry.sourceFd));
        }
    }
    m_entries.clear();
    m_folders.clear();
    m_sourceFolders.clear();
    m_removableFolder.clear();
    m_bytes = 0;
    m_closer.close(std::move(removed));
    return outcomes;
}

} // namespace carrovex::posix
