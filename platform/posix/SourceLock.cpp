#include "platform/posix/SourceLock.h"

#include "platform/posix/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace carrovex::posix
{

namespace
{

// NFSv4 refuses an exclusive lock on a descriptor that is not open for writing (EBADF), and the source
// is only ever opened for reading: a writer's descriptor would count as one.
bool cannotLock(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL || error == EBADF;
}

} // namespace

Status lockSource(int fd, int folderFd, const std::string& name, bool exclusive, struct stat& info)
{
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return Status::failure(Problem::LockedByAnother);
        }
        if (!cannotLock(errno)) {
            return Status::failure(lastErrorText());
        }
    }
    if (::fstat(fd, &info) != 0) {
        return Status::failure(lastErrorText());
    }
    const Result<FileIdentity> named = sourceIdentity(folderFd, name, Problem::TakenByAnother);
    if (!named.ok()) {
        return Status::failure(named);
    }
    if (info.st_nlink == 0 || !named.value().sameInode(identityFrom(info))) {
        return Status::failure(Problem::TakenByAnother);
    }
    return {};
}

Result<FileIdentity> sourceIdentity(int folderFd, const std::string& name, Problem taken)
{
    struct stat info {
    };
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Result<FileIdentity>::failure(taken) : Result<FileIdentity>::failure(lastErrorText());
    }
    return identityFrom(info);
}

} // namespace carrovex::posix
