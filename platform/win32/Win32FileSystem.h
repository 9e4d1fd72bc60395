#pragma once

#include "platform/FileSystem.h"
#include "platform/win32/TransferBatch.h"

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace carrovex::win32
{

// Files on Windows, through the wide calls. A file that another program has open for writing is left
// alone: opening it with writers shut out fails with the sharing violation, and it is reported as open for
// writing.
// Transfers go through TransferBatch: every copy is staged and flushed before it takes its name, a move
// within a volume is a rename of the open file, and across volumes the source stays open to no writer
// until its copy is placed and on the disk.
class Win32FileSystem final : public FileSystem
{
public:
    Win32FileSystem();
    explicit Win32FileSystem(BatchLimits limits);
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    std::string joinPath(const std::string& folder, const std::string& name) const override;
    Result<std::vector<std::string>> listPlainFiles(const std::string& folder) override;
    bool folderExists(const std::string& path) override;
    Result<bool> fileExists(const std::string& path) override;
    Result<bool> sameFile(const std::string& first, const std::string& second) override;
    Result<bool> sameContent(const std::string& first, const std::string& second) override;
    Result<std::int64_t> fileLength(const std::string& path) override;
    // The destination folder's volume is known by its serial number; a transfer into a folder that now lies
    // on another volume (a folder whose mounted volume is gone) fails before it is staged.
    void beginRun(const std::string& destinationFolder) override;
    Status startTransfer(const std::string& source, const std::string& destination, Transfer how) override;
    void reportProgress(ProgressReport report) override;
    bool batchDue() override;
    std::vector<Placed> completeBatch() override;

private:
    TransferBatch m_batch;
    std::wstring m_runFolder;
    std::optional<DWORD> m_runVolume;
};

} // namespace carrovex::win32
