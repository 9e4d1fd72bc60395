#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace carrovex::testing
{

// Folders and files in memory, joined with "/". Any call of any operation can be made to fail. Accepted
// transfers take effect only when their batch is completed, as on a disk. Names are at most 255 bytes long.
class FakeFileSystem final : public FileSystem
{
public:
    static constexpr std::size_t longestName = 255;

    // Complete counts transfers: its nth is the nth transfer that a batch completes. A failed Answer leaves
    // that transfer's outcome, and those after it in its batch, unanswered (a binding that lost them).
    enum class Call { List, FileExists, SameFile, SameContent, FileLength, Start, Complete, Answer };

    void addFolder(const std::string& path);
    // A file's content is its path unless given: two files have the same bytes only when given the same.
    void addFile(const std::string& path, std::int64_t size, const std::string& content = {});
    void removeFile(const std::string& path);
    // Two names of one file or folder; "." and ".." in a path are resolved as the system does.
    void linkFiles(const std::string& first, const std::string& second);
    bool hasFile(const std::string& path) const;
    // The nth call (from 1) of the operation fails with the text; 0 makes every call fail.
    void failCall(Call call, int nth, const std::string& description);
    void failCall(Call call, int nth, Problem problem);
    // The batch is due once this many transfers wait (1 unless set).
    void setBatchSize(std::size_t files);
    // "copy a b", "move a b" and "finish a b" (a finished move) for every completed transfer, in order.
    const std::vector<std::string>& transfers() const;
    int completeBatchCalls() const;
    // Runs at the start of every transfer: a test's way of making them slow.
    void onTransfer(std::function<void()> hook);
    // What the platform reports while it stages a file; from an onTransfer hook.
    void reportStaged(std::int64_t done, std::int64_t total);

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
    struct File {
        std::int64_t size = 0;
        std::string content;
    };
    struct Waiting {
        std::string source;
        std::string destination;
        Transfer how;
    };

    // The failure text when this call is one that must fail, else empty.
    const Status* failure(Call call);
    Placed complete(const Waiting& transfer);

    std::set<std::string> m_folders;
    std::vector<std::string> m_order; // listing order of files
    std::map<std::string, File> m_files;
    std::set<std::pair<std::string, std::string>> m_links;
    std::map<Call, int> m_counts;
    std::map<std::pair<Call, int>, Status> m_failures;
    std::vector<Waiting> m_waiting;
    std::size_t m_batchSize = 1;
    std::vector<std::string> m_transfers;
    int m_completeBatchCalls = 0;
    std::function<void()> m_onTransfer;
    ProgressReport m_report;
};

} // namespace carrovex::testing
