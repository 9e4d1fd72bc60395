#pragma once

#include "platform/Result.h"
#include "platform/common/ThrottledProgress.h"
#include "platform/posix/FileDescriptor.h"

#include <cstdint>
#include <string>

struct stat;

namespace carrovex::posix
{

// What identifies a file's content for the purpose of noticing a change: the same inode with the same
// size and modification time (to the nanosecond).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
    bool sameInode(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode;
    }
};

FileIdentity identityFrom(const struct stat& info);

// The identity of whatever lies at the path, without following a link.
Result<FileIdentity> identityOf(const std::string& path);

// A copy in the destination folder that no listing shows: unnamed where the file system allows
// (nothing of it survives the program), else under a hidden name that no listed file can have.
struct StagedCopy {
    FileDescriptor file;
    std::string name; // empty for an unnamed copy
};

// Copies the regular file open as sourceFd (`before` is its state when opened) into a new staged copy in
// the folder open as folderFd, with the source's permission bits and modification time where the file
// system can store them, telling progress how far it has got. Fails, leaving nothing behind, when a read or
// write fails or the source changed.
Result<StagedCopy> stageCopy(int sourceFd, const struct stat& before, int folderFd, ThrottledProgress& progress);

// Gives up a staged copy that is not placed; a named one is removed.
void discardCopy(StagedCopy& copy, int folderFd);

// Gives the staged copy its name in the folder, taking the place of an existing file only when replace is
// set. Returns 0 or the errno of the failure; the copy stays staged when it fails.
int placeCopy(StagedCopy& copy, int folderFd, const std::string& name, bool replace);

// A rename that never replaces an existing destination, also on file systems that refuse the flag for it
// and hard links (some FUSE file systems): there the name is first reserved by creating it exclusively.
// Returns 0 or the errno value of the failure.
int renameWithoutReplacing(int fromFolder, const std::string& from, int toFolder, const std::string& to);

// True for the failures with which a file system refuses a name it cannot store (FAT's ":" or "?").
bool refusesName(int error);

// Removes the staged copies in the folder that a killed program left behind; copies that a living
// program holds are left alone.
void removeAbandonedCopies(const std::string& folder);

} // namespace carrovex::posix
