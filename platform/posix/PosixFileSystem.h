#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/FileCopy.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace carrovex::posix
{

// Files and folders on a POSIX system. Moves across file systems are made durable in batches: the copies
// are flushed to disk with one sync per file system before any of their sources is removed.
class PosixFileSystem final : public FileSystem
{
public:
    // Pending moves are completed whenever this many files or bytes are waiting, and at every finishRun.
    struct BatchLimits {
        std::size_t files = 2000;
        std::int64_t bytes = std::int64_t {512} << 20;
    };

    PosixFileSystem() = default;
    explicit PosixFileSystem(BatchLimits limits);
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;
    ~PosixFileSystem() override;

    std::string joinPath(const std::string& folder, const std::string& name) const override;
    Result<std::vector<std::string>> listPlainFiles(const std::string& folder) override;
    bool folderExists(const std::string& path) override;
    Result<bool> fileExists(const std::string& path) override;
    Result<bool> sameFile(const std::string& first, const std::string& second) override;
    Result<std::int64_t> fileLength(const std::string& path) override;
    Status copyFile(const std::string& source, const std::string& destination) override;
    Status moveFile(const std::string& source, const std::string& destination, bool replace) override;
    std::vector<PathFailure> finishRun() override;

private:
    struct PendingMove {
        std::string source;
        FileIdentity sourceIdentity;
        std::string destination;
        FileIdentity destinationIdentity;
        std::string destinationFolder;
    };

    Result<StagedCopy> stageIn(const std::string& source, const std::string& destination);
    Status moveAcross(const std::string& source, const std::string& destination, bool replace);
    void completePendingMoves();
    void completeMove(const PendingMove& move);

    BatchLimits m_limits;
    std::set<std::string> m_cleanedFolders;
    std::vector<PendingMove> m_pending;
    std::int64_t m_pendingBytes = 0;
    std::vector<PathFailure> m_failures;
};

} // namespace carrovex::posix
