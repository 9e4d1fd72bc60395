#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/EarlyWriteback.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/FileUse.h"
#include "platform/posix/RemovedSourceCloser.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace carrovex::posix
{

struct BatchLimits {
    // A batch is completed once it holds this many files or bytes, or its first file has waited this long:
    // each batch costs two flushes of the disk (its data, then its names), so that a small file costs
    // about what cp and one sync cost, while a watcher of the log sees outcomes every few seconds.
    std::size_t files = 16384;
    std::int64_t bytes = std::int64_t {512} << 20;
    std::chrono::milliseconds age {2000};
    // A file this large is flushed on its own as soon as it is staged: one flush of the whole file system
    // would also wait for every other program's unwritten data.
    std::int64_t largeFile = std::int64_t {64} << 20;
    // Where no lease can tell whether a file is still being written, it must have rested this long: long
    // enough for a writer that pauses between records or blocks.
    std::chrono::milliseconds settleTime {std::chrono::seconds(30)};
};

// The transfers of one batch, taken through the sound order: stage every copy, flush the batch, check
// each source, place each copy, make the placements durable, remove the sources of moves. See FileSystem.
class TransferBatch
{
public:
    explicit TransferBatch(BatchLimits limits);
    TransferBatch(const TransferBatch&) = delete;
    TransferBatch& operator=(const TransferBatch&) = delete;
    ~TransferBatch(); // staged copies that were never completed are given up

    // See FileSystem::beginRun.
    void pin(const std::string& destinationFolder);
    Status add(const std::string& source, const std::string& destination, Transfer how);
    // See FileSystem::reportProgress.
    void reportProgress(ProgressReport report);
    bool due() const;
    std::vector<Placed> complete();

private:
    struct Folder {
        std::string path;
        FileDescriptor fd;
        std::uint64_t device = 0;
        bool flushEachFile = false; // a flush of the whole file system would not reach its storage
        bool readable = true; // else open only as a path: a drop folder that may be written but not read
        bool placedAny = false;
    };

    // Names in it are looked up from the opened folder: one step instead of the whole path.
    struct SourceFolder {
        std::string path;
        FileDescriptor fd;
    };

    struct Entry {
        Transfer how = Transfer::Copy;
        SourceFolder* sourceFolder = nullptr;
        std::string sourceName;
        std::string destination;
        std::string name; // in the destination folder
        Folder* folder = nullptr;
        FileIdentity sourceIdentity;
        std::optional<StagedCopy> staged;
        FileDescriptor existing; // the identical copy that a move waits for, to flush
        FileIdentity placedIdentity;
        FileDescriptor sourceFd; // open and locked from the start; from the check on it holds the lease
        std::string aside; // the hidden name, in its folder, of a source on its way out
        FileUse use; // the latest answer
        bool needsFlush = false;
        bool placed = false;
        bool renamed = false; // a move within one file system: it has nothing more to wait for
        bool nameTaken = false; // the name asked for was taken, and a numbered one was tried
        std::optional<Status> error;

        bool moves() const;
        bool replaces() const;
    };

    Result<Folder*> folderFor(const std::string& path);
    Result<SourceFolder*> sourceFolderFor(const std::string& path);
    void failWhereDiskChanged();
    bool leaseSeesEveryWriter(int fd, std::uint64_t device);
    bool mayRemoveFrom(const std::string& sourceFolder);
    Status stage(Entry& entry, int sourceFd, const struct stat& info);
    Status addExistingCopy(Entry& entry);
    int placeUnderFreeName(Entry& entry, const std::function<int(const std::string& name)>& place);
    Status placeFailure(const Entry& entry, int error);
    void fail(Entry& entry, Status failure);
    void fail(Entry& entry, const std::string& systemText)
    {
        fail(entry, Status::failure(systemText));
    }
    void flushOne(Entry& entry);
    void flush();
    void checkSources();
    bool stillFree(Entry& entry, OtherWriters& writers);
    void place();
    void makeDurable();
    int flushNames(const Folder& folder);
    void removeSources();
    bool setAside(Entry& entry);
    void removeSetAside(Entry& entry, OtherWriters& writers);
    void putBack(Entry& entry, Status failure);

    BatchLimits m_limits;
    RemovedSourceCloser m_closer;
    EarlyWriteback m_writeback;
    std::vector<std::unique_ptr<Folder>> m_folders;
    std::vector<std::unique_ptr<SourceFolder>> m_sourceFolders;
    std::vector<Entry> m_entries;
    std::int64_t m_bytes = 0;
    std::chrono::steady_clock::time_point m_started;
    std::set<std::string> m_cleanedFolders;
    std::map<std::uint64_t, bool> m_leaseSeesEveryWriter; // by device
    // Files may be added for a long time (no batch completes while each fails): an older look is repeated.
    OtherWriters m_writersWhileAdding {std::chrono::seconds(1)};
    std::string m_removableFolder; // a source folder that the batch may remove files from
    ProgressReport m_progress;
    std::string m_pinnedFolder;
    std::optional<std::uint64_t> m_pinnedDevice;
};

} // namespace carrovex::posix
