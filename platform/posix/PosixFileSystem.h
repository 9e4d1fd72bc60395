#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/TransferBatch.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace carrovex::posix
{

// Files and folders on a POSIX system (Linux). A file counts as in use while another process has it open for
// writing (a read lease tells), and on FUSE and network file systems, where no lease sees every writer, while
// it changed within the settle time. Taking leases makes the program ignore SIGIO.
class PosixFileSystem final : public FileSystem
{
public:
    PosixFileSystem();
    explicit PosixFileSystem(BatchLimits limits);
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    std::string joinPath(const std::string& folder, const std::string& name) const override;
    Result<std::vector<std::string>> listPlainFiles(const std::string& folder) override;
    bool folderExists(const std::string& path) override;
    Result<bool> fileExists(const std::string& path) override;
    Result<bool> sameFile(const std::string& first, const std::string& second) override;
    Result<bool> sameContent(const std::string& first, const std::string& second) override;
    Result<std::int64_t> fileLength(const std::string& path) override;
    void beginRun(const std::string& destinationFolder) override;
    Status startTransfer(const std::string& source, const std::string& destination, Transfer how) override;
    void reportProgress(ProgressReport report) override;
    bool batchDue() override;
    std::vector<Placed> completeBatch() override;

private:
    Result<bool> sameFolder(const std::string& first, const std::string& second);

    TransferBatch m_batch;
    // Whether two folders are one, as found out during the current batch.
    std::map<std::pair<std::string, std::string>, bool> m_sameFolders;
};

} // namespace carrovex::posix
