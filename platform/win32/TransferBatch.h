#pragma once

#include "platform/FileSystem.h"
#include "platform/win32/FileHandles.h"
#include "platform/win32/StagedCopy.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace carrovex::win32
{

struct BatchLimits {
    // A batch is completed once it holds this many files or bytes, or its first file has waited this long,
    // so that a watcher of the log sees outcomes every few seconds. Windows flushes each file on its own
    // (a flush of a whole volume needs an administrator), so a batch saves no flushes here.
    std::size_t files = 16384;
    std::int64_t bytes = std::int64_t {512} << 20;
    std::chrono::milliseconds age {2000};
};

// The transfers of one batch, taken through the sound order: stage every copy (flushed to the disk),
// check each source, place each copy (its name flushed too), remove the sources of moves. A source is
// open to no writer, renamer or deleter from the moment it is staged until its batch is complete, so it
// cannot change under the transfer, and a program that has it open for writing when it is staged makes
// the transfer fail as OpenForWriting. See FileSystem.
class TransferBatch
{
public:
    explicit TransferBatch(BatchLimits limits);
    TransferBatch(const TransferBatch&) = delete;
    TransferBatch& operator=(const TransferBatch&) = delete;

    Status add(const std::wstring& source, const std::wstring& destination, Transfer how);
    // See FileSystem::reportProgress.
    void reportProgress(ProgressReport report);
    bool due() const;
    std::vector<Placed> complete();

private:
    struct Entry {
        Transfer how = Transfer::Copy;
        std::wstring destination;
        Handle sourceFile;
        FileState source;
        std::optional<StagedCopy> staged; // given up (deleted) when the entry goes unplaced
        Handle existing; // the identical copy that an interrupted move left, held until its source goes
        FileState placed;
        bool renamed = false; // a move within one volume: nothing more to do
        bool nameTaken = false; // the name asked for was taken, and a numbered one was tried
        std::optional<Status> error;

        bool moves() const;
        bool replaces() const;
    };

    Status stage(Entry& entry);
    Status holdExistingCopy(Entry& entry);
    DWORD renameToFreeName(Entry& entry, HANDLE file);
    Status renameFailure(const Entry& entry, DWORD error) const;
    void checkSources();
    void place();
    void removeSources();

    BatchLimits m_limits;
    std::vector<Entry> m_entries;
    std::int64_t m_bytes = 0;
    std::chrono::steady_clock::time_point m_started;
    std::set<std::wstring> m_cleanedFolders;
    ProgressReport m_progress;
};

} // namespace carrovex::win32
