#pragma once

#include "platform/Result.h"
#include "platform/posix/FileCopy.h"

#include <string>

struct stat;

namespace carrovex::posix
{

// Keeps two Carrovex programs on one source folder from taking the same file: an advisory lock on the
// source open as fd, shared for a copy and exclusive for a move, held until fd is closed. Once it is had,
// `name` in the folder open as folderFd must still name the locked file and the file must still have a
// name; the other program may have moved it away just before letting go. `info` is then the file's state
// under the lock. On a file system that cannot lock (an NFS without its lock service) the transfer goes on
// without the lock.
Status lockSource(int fd, int folderFd, const std::string& name, bool exclusive, struct stat& info);

// The identity of whatever lies at `name` in the source folder open as folderFd; a name that has gone
// means the file was taken by another program (one that locks nothing, or a person), which `taken` says.
Result<FileIdentity> sourceIdentity(int folderFd, const std::string& name, Problem taken);

} // namespace carrovex::posix
