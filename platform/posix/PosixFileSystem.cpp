#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/SystemError.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::posix
{

namespace
{

constexpr const char* changedWhileMovedText = "The file changed while it was moved; it stays in the source folder";
constexpr const char* copyGoneText = "The copy in the destination folder is gone; the file stays in the source folder";

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool isPlainFile(int directoryFd, const dirent& entry)
{
    if (entry.d_name[0] == '.') {
        return false; // hidden, and our own temporary files
    }
    if (entry.d_type != DT_UNKNOWN) {
        return entry.d_type == DT_REG;
    }
    struct stat info {
    };
    return ::fstatat(directoryFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

} // namespace

PosixFileSystem::PosixFileSystem(BatchLimits limits)
    : m_limits(limits)
{
}

PosixFileSystem::~PosixFileSystem()
{
    completePendingMoves();
}

std::string PosixFileSystem::joinPath(const std::string& folder, const std::string& name) const
{
    return folder + "/" + name;
}

Result<std::vector<std::string>> PosixFileSystem::listPlainFiles(const std::string& folder)
{
    using Listing = Result<std::vector<std::string>>;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory) {
        return Listing::failure(lastErrorText());
    }
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(directory.get());
        if (entry == nullptr) {
            if (errno != 0) {
                return Listing::failure(lastErrorText());
            }
            return names;
        }
        if (isPlainFile(::dirfd(directory.get()), *entry)) {
            names.emplace_back(entry->d_name);
        }
    }
}

bool PosixFileSystem::folderExists(const std::string& path)
{
    struct stat info {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Result<bool> PosixFileSystem::fileExists(const std::string& path)
{
    struct stat info {
    };
    if (::lstat(path.c_str(), &info) == 0) {
        return !S_ISDIR(info.st_mode);
    }
    if (errno == ENOENT || errno == ENOTDIR) {
        return false;
    }
    return Result<bool>::failure(lastErrorText());
}

Result<bool> PosixFileSystem::sameFile(const std::string& first, const std::string& second)
{
    struct stat firstInfo {
    };
    struct stat secondInfo {
    };
    if (::stat(first.c_str(), &firstInfo) != 0 || ::stat(second.c_str(), &secondInfo) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        return Result<bool>::failure(lastErrorText());
    }
    return firstInfo.st_dev == secondInfo.st_dev && firstInfo.st_ino == secondInfo.st_ino;
}

Result<std::int64_t> PosixFileSystem::fileLength(const std::string& path)
{
    struct stat info {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return Result<std::int64_t>::failure(lastErrorText());
    }
    return static_cast<std::int64_t>(info.st_size);
}

Result<StagedCopy> PosixFileSystem::stageIn(const std::string& source, const std::string& destination)
{
    const std::string folder = folderOf(destination);
    if (m_cleanedFolders.insert(folder).second) {
        removeAbandonedCopies(folder);
    }
    return stageCopy(source, folder);
}

Status PosixFileSystem::copyFile(const std::string& source, const std::string& destination)
{
    const Result<StagedCopy> staged = stageIn(source, destination);
    if (!staged.ok()) {
        return Status::failure(staged.error());
    }
    return placeCopy(staged.value().temporaryPath, destination, true);
}

Status PosixFileSystem::moveFile(const std::string& source, const std::string& destination, bool replace)
{
    const int error = replace ? (::rename(source.c_str(), destination.c_str()) == 0 ? 0 : errno)
                              : renameWithoutReplacing(source, destination);
    if (error == 0) {
        return {};
    }
    // The rename's own answer decides; two mounts of one file system answer it too.
    if (error != EXDEV) {
        return Status::failure(systemErrorText(error));
    }
    return moveAcross(source, destination, replace);
}

Status PosixFileSystem::moveAcross(const std::string& source, const std::string& destination, bool replace)
{
    // A source that could not be removed afterwards would leave the file twice; refuse before copying.
    if (::access(folderOf(source).c_str(), W_OK) != 0) {
        return Status::failure(lastErrorText());
    }
    const Result<StagedCopy> staged = stageIn(source, destination);
    if (!staged.ok()) {
        return Status::failure(staged.error());
    }
    if (Status placed = placeCopy(staged.value().temporaryPath, destination, replace); !placed.ok()) {
        return placed;
    }
    const Result<FileIdentity> placedIdentity = identityOf(destination);
    if (!placedIdentity.ok()) {
        return Status::failure(placedIdentity.error()); // the source stays where it is
    }
    const FileIdentity& sourceIdentity = staged.value().source;
    m_pending.push_back({source, sourceIdentity, destination, placedIdentity.value(), folderOf(destination)});
    m_pendingBytes += sourceIdentity.size;
    if (m_pending.size() >= m_limits.files || m_pendingBytes >= m_limits.bytes) {
        completePendingMoves();
    }
    return {};
}

// A source is removed only after its copy would survive a power cut: one sync per destination file system
// covers the whole batch, which costs far less than one flush per file.
void PosixFileSystem::completePendingMoves()
{
    std::map<std::uint64_t, int> syncResults; // device -> errno of its sync
    for (const PendingMove& move : m_pending) {
        auto [result, added] = syncResults.try_emplace(move.destinationIdentity.device, 0);
        if (added) {
            const int fd = ::open(move.destinationFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            result->second = fd < 0 || ::syncfs(fd) != 0 ? errno : 0;
            if (fd >= 0) {
                ::close(fd);
            }
        }
        if (result->second != 0) {
            m_failures.push_back({move.source, systemErrorText(result->second)});
            continue;
        }
        completeMove(move);
    }
    m_pending.clear();
    m_pendingBytes = 0;
}

void PosixFileSystem::completeMove(const PendingMove& move)
{
    const Result<FileIdentity> placed = identityOf(move.destination);
    if (!placed.ok() || placed.value().device != move.destinationIdentity.device
        || placed.value().inode != move.destinationIdentity.inode) {
        m_failures.push_back({move.source, copyGoneText});
        return;
    }
    const Result<FileIdentity> source = identityOf(move.source);
    if (!source.ok()) {
        m_failures.push_back({move.source, source.error()});
        return;
    }
    if (source.value() != move.sourceIdentity) {
        // The copy is stale; discard it so that a later run moves the file as it is now.
        ::unlink(move.destination.c_str());
        m_failures.push_back({move.source, changedWhileMovedText});
        return;
    }
    if (::unlink(move.source.c_str()) != 0) {
        m_failures.push_back({move.source, lastErrorText()});
    }
}

std::vector<PathFailure> PosixFileSystem::finishRun()
{
    completePendingMoves();
    m_cleanedFolders.clear();
    std::vector<PathFailure> failures;
    failures.swap(m_failures);
    return failures;
}

} // namespace carrovex::posix
