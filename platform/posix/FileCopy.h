#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>

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
};

// The identity of whatever lies at the path, without following a link.
Result<FileIdentity> identityOf(const std::string& path);

struct StagedCopy {
    std::string temporaryPath;
    FileIdentity source;
};

// Copies the regular file at source into a new hidden temporary file in the folder, with the source's
// permission bits and modification time. Fails, leaving nothing behind, when the source is not a regular
// file, when any write or the close fails, and when the source changed while it was copied.
Result<StagedCopy> stageCopy(const std::string& source, const std::string& folder);

// Gives the staged copy its final name, replacing an existing file only when asked to. The temporary
// file is removed when this fails.
Status placeCopy(const std::string& temporaryPath, const std::string& destination, bool replace);

// A rename that never replaces an existing destination, also on file systems that refuse the flag for it.
// Returns 0 or the errno value of the failure.
int renameWithoutReplacing(const std::string& from, const std::string& to);

// Removes the temporary files in the folder that a killed copy left behind; files that a living copy
// holds are left alone.
void removeAbandonedCopies(const std::string& folder);

} // namespace carrovex::posix
