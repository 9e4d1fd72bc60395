#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace carrovex
{

// What the run has decided for one file.
enum class Transfer {
    Copy, // the destination name must be free
    CopyReplacing, // may replace the destination file that the caller found and tested
    Move, // the destination name must be free
    MoveReplacing, // may replace the destination file that the caller found and tested
    FinishMove, // the destination already holds a byte-identical copy: only the source is to go
    CopyKeepingBoth, // the destination name, or where it is taken the first free numberedName from 2 on
    MoveKeepingBoth,
};

// How far the staging of one file has got: the bytes written so far and the file's length.
using ProgressReport = std::function<void(std::int64_t done, std::int64_t total)>;
// A completed transfer: the name (without folder) its file has in the destination folder, or why it failed.
using Placed = Result<std::string>;

// Files and folders as the logic sees them. Paths and names are byte strings used exactly as the
// directory gives them. Every operation that touches the disk can fail; it then carries the system's text.
//
// Transfers are made in batches, so that making them durable costs about what one flush of the disk
// costs: startTransfer accepts a file into the batch, completeBatch finishes every accepted file. Whatever
// fails, nothing in a destination folder is ever deleted or replaced except the transfer's own staged copy
// and, for the *Replacing kinds only, the file the caller tested; a placed copy is never removed; a source
// is removed only once its copy is whole, in place and on the disk. The *KeepingBoth kinds take a free name
// without replacing, also when another program makes the same name at the same moment: the next number
// is taken then; a numbered name longer than the destination allows fails with NumberedNameTooLong.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Folder text and file name joined by the platform's separator, by plain concatenation.
    virtual std::string joinPath(const std::string& folder, const std::string& name) const = 0;

    // Names (without folder) of the plain files lying directly in the folder, unsorted: regular files that
    // are not hidden. Folders, links, special files and the staged copies of transfers are never listed.
    virtual Result<std::vector<std::string>> listPlainFiles(const std::string& folder) = 0;

    // An empty text is no folder.
    virtual bool folderExists(const std::string& path) = 0;
    virtual Result<bool> fileExists(const std::string& path) = 0;

    // True when both paths name the very same file: one folder reached by two spellings or through another
    // file system (a mount of a share or a view of the folder), or a hard link. Fails when it cannot tell.
    virtual Result<bool> sameFile(const std::string& first, const std::string& second) = 0;

    // True when both are files of the same length, modification time (as closely as the second one's file
    // system can store it) and bytes. False when either is missing.
    virtual Result<bool> sameContent(const std::string& first, const std::string& second) = 0;

    virtual Result<std::int64_t> fileLength(const std::string& path) = 0;

    // A run begins that transfers into the destination folder: its file system is taken as it is now. Should
    // the folder come to lie on another one before the next call (its disk unmounted, even lazily, or gone),
    // no more copies are placed there and no source is removed for a copy there: each such transfer fails
    // with Problem::DestinationDiskChanged.
    virtual void beginRun(const std::string& destinationFolder) = 0;

    // Accepts the transfer into the current batch and stages it: the content goes to a copy in the
    // destination folder that no listing shows and no file name can meet. Fails at once, having changed
    // nothing, when the source cannot be read, is not a regular file, is open for writing in another program
    // (where that cannot be asked: changed within the settle time; a binding may leave this to completeBatch
    // where the file is copied rather than renamed), is being transferred by another program,
    // is gone since it was listed, or changed while it was read, and when the staged copy cannot be written.
    // Until its batch is complete no other program on the same source takes the file.
    virtual Status startTransfer(const std::string& source, const std::string& destination, Transfer how) = 0;

    // While startTransfer stages a file that takes longer than a second, the report is called on the thread
    // that called startTransfer about once a second; an empty report is never called.
    virtual void reportProgress(ProgressReport report) = 0;

    // True when the accepted transfers should be completed now: the batch is full, or its first file has
    // waited long enough that its outcome should be shown.
    virtual bool batchDue() = 0;

    // Completes every transfer accepted since the last call: flushes the staged copies to the disk, checks
    // that each source is unchanged and not open for writing, places each copy under its name (taking the
    // place of an existing file only for the *Replacing kinds), makes the placements durable, and only then
    // removes the sources of moves. Returns one outcome per accepted transfer, in the order accepted: success
    // means the transfer is complete and on the disk. A failure says why; its source is as it was unless
    // another program took it, and anything already placed stays.
    virtual std::vector<Placed> completeBatch() = 0;
};

} // namespace carrovex
