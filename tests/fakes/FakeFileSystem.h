#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace carrovex::testing
{

// Folders and files in memory, joined with "/". Any call of any operation can be made to fail.
class FakeFileSystem final : public FileSystem
{
public:
    enum class Call { List, FileExists, SameFile, FileLength, Copy, Move };

    void addFolder(const std::string& path);
    void addFile(const std::string& path, std::int64_t size);
    // Two names of one file or folder; "." and ".." in a path are resolved as the system does.
    void linkFiles(const std::string& first, const std::string& second);
    bool hasFile(const std::string& path) const;
    // The nth call (from 1) of the operation fails with the text; 0 makes every call fail.
    void failCall(Call call, int nth, const std::string& description);
    // What the next finishRun reports.
    void reportAtFinish(std::vector<PathFailure> failures);
    // "copy a b" and "move a b" for every transfer made, in order.
    const std::vector<std::string>& transfers() const;
    int finishRunCalls() const;

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
    // The failure text when this call is one that must fail, else empty.
    const std::string* failure(Call call);

    std::set<std::string> m_folders;
    std::vector<std::string> m_order; // listing order of files
    std::map<std::string, std::int64_t> m_files;
    std::set<std::pair<std::string, std::string>> m_links;
    std::map<Call, int> m_counts;
    std::map<std::pair<Call, int>, std::string> m_failures;
    std::vector<PathFailure> m_finishFailures;
    std::vector<std::string> m_transfers;
    int m_finishRunCalls = 0;
};

} // namespace carrovex::testing
