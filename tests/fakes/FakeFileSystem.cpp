#include "tests/fakes/FakeFileSystem.h"

#include "platform/NumberedName.h"

#include <algorithm>

namespace carrovex::testing
{

namespace
{

std::string folderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

// The path with "." and ".." taken out, as the system resolves them; the root is its own parent.
std::string resolved(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) {
        out += "/" + part;
    }
    return out.empty() ? "/" : out;
}

bool moves(Transfer how)
{
    return how == Transfer::Move || how == Transfer::MoveReplacing || how == Transfer::FinishMove
        || how == Transfer::MoveKeepingBoth;
}

bool keepsBoth(Transfer how)
{
    return how == Transfer::CopyKeepingBoth || how == Transfer::MoveKeepingBoth;
}

bool replaces(Transfer how)
{
    return how == Transfer::CopyReplacing || how == Transfer::MoveReplacing;
}

} // namespace

void FakeFileSystem::addFolder(const std::string& path)
{
    m_folders.insert(path);
}

void FakeFileSystem::addFile(const std::string& path, std::int64_t size, const std::string& content)
{
    if (!m_files.contains(path)) {
        m_order.push_back(path);
    }
    m_files[path] = {size, content.empty() ? path : content};
}

void FakeFileSystem::removeFile(const std::string& path)
{
    m_files.erase(path);
    std::erase(m_order, path);
}

void FakeFileSystem::linkFiles(const std::string& first, const std::string& second)
{
    m_links.insert({first, second});
    m_links.insert({second, first});
}

bool FakeFileSystem::hasFile(const std::string& path) const
{
    return m_files.contains(path);
}

void FakeFileSystem::failCall(Call call, int nth, const std::string& description)
{
    m_failures[{call, nth}] = Status::failure(description);
}

void FakeFileSystem::failCall(Call call, int nth, Problem problem)
{
    m_failures[{call, nth}] = Status::failure(problem);
}

void FakeFileSystem::setBatchSize(std::size_t files)
{
    m_batchSize = files;
}

const std::vector<std::string>& FakeFileSystem::transfers() const
{
    return m_transfers;
}

int FakeFileSystem::completeBatchCalls() const
{
    return m_completeBatchCalls;
}

const Status* FakeFileSystem::failure(Call call)
{
    const int count = ++m_counts[call];
    for (const int nth : {count, 0}) {
        if (const auto found = m_failures.find({call, nth}); found != m_failures.end()) {
            return &found->second;
        }
    }
    return nullptr;
}

std::string FakeFileSystem::joinPath(const std::string& folder, const std::string& name) const
{
    return folder + "/" + name;
}

Result<std::vector<std::string>> FakeFileSystem::listPlainFiles(const std::string& folder)
{
    if (const Status* failed = failure(Call::List)) {
        return Result<std::vector<std::string>>::failure(failed->error());
    }
    std::vector<std::string> names;
    for (const std::string& path : m_order) {
        if (m_files.contains(path) && folderOf(path) == folder) {
            names.push_back(path.substr(folder.size() + 1));
        }
    }
    return names;
}

bool FakeFileSystem::folderExists(const std::string& path)
{
    return m_folders.contains(path);
}

Result<bool> FakeFileSystem::fileExists(const std::string& path)
{
    if (const Status* failed = failure(Call::FileExists)) {
        return Result<bool>::failure(failed->error());
    }
    return m_files.contains(path);
}

Result<bool> FakeFileSystem::sameFile(const std::string& first, const std::string& second)
{
    if (const Status* failed = failure(Call::SameFile)) {
        return Result<bool>::failure(failed->error());
    }
    const std::string a = resolved(first);
    const std::string b = resolved(second);
    return a == b || m_links.contains({a, b});
}

Result<bool> FakeFileSystem::sameContent(const std::string& first, const std::string& second)
{
    if (const Status* failed = failure(Call::SameContent)) {
        return Result<bool>::failure(failed->error());
    }
    const auto a = m_files.find(first);
    const auto b = m_files.find(second);
    return a != m_files.end() && b != m_files.end() && a->second.size == b->second.size
        && a->second.content == b->second.content;
}

Result<std::int64_t> FakeFileSystem::fileLength(const std::string& path)
{
    if (const Status* failed = failure(Call::FileLength)) {
        return Result<std::int64_t>::failure(failed->error());
    }
    const auto found = m_files.find(path);
    if (found == m_files.end()) {
        return Result<std::int64_t>::failure("No such file or directory");
    }
    return found->second.size;
}

void FakeFileSystem::onTransfer(std::function<void()> hook)
{
    m_onTransfer = std::move(hook);
}

// The fake's disks never change by themselves: a test fails a transfer with Problem::DestinationDiskChanged.
void FakeFileSystem::beginRun(const std::string&)
{
}

Status FakeFileSystem::startTransfer(const std::string& source, const std::string& destination, Transfer how)
{
    if (m_onTransfer) {
        m_onTransfer();
    }
    if (const Status* failed = failure(Call::Start)) {
        return *failed;
    }
    if (!m_files.contains(source)) {
        return Status::failure("No such file or directory");
    }
    m_waiting.push_back({source, destination, how});
    return {};
}

void FakeFileSystem::reportProgress(ProgressReport report)
{
    m_report = std::move(report);
}

void FakeFileSystem::reportStaged(std::int64_t done, std::int64_t total)
{
    if (m_report) {
        m_report(done, total);
    }
}

bool FakeFileSystem::batchDue()
{
    return m_waiting.size() >= m_batchSize;
}

std::vector<Placed> FakeFileSystem::completeBatch()
{
    ++m_completeBatchCalls;
    std::vector<Placed> outcomes;
    for (const Waiting& transfer : m_waiting) {
        if (failure(Call::Answer) != nullptr) {
            break;
        }
        outcomes.push_back(complete(transfer));
    }
    m_waiting.clear();
    return outcomes;
}

Placed FakeFileSystem::complete(const Waiting& transfer)
{
    if (const Status* failed = failure(Call::Complete)) {
        return Placed::failure(*failed);
    }
    if (!m_files.contains(transfer.source)) {
        return Placed::failure("No such file or directory");
    }
    std::string destination = transfer.destination;
    const std::string name = destination.substr(destination.rfind('/') + 1);
    for (int number = 2; keepsBoth(transfer.how) && m_files.contains(destination); ++number) {
        destination = folderOf(transfer.destination) + "/" + numberedName(name, number);
        if (destination.size() - folderOf(destination).size() - 1 > longestName) {
            return Placed::failure(Problem::NumberedNameTooLong);
        }
    }
    const bool destinationTaken = m_files.contains(destination);
    if (transfer.how == Transfer::FinishMove) {
        m_transfers.push_back("finish " + transfer.source + " " + destination);
    } else if (destinationTaken && !replaces(transfer.how)) {
        return Placed::failure("File exists");
    } else {
        m_transfers.push_back((moves(transfer.how) ? "move " : "copy ") + transfer.source + " " + destination);
        const File file = m_files[transfer.source];
        addFile(destination, file.size, file.content);
    }
    if (moves(transfer.how)) {
        removeFile(transfer.source);
    }
    return destination.substr(destination.rfind('/') + 1);
}

} // namespace carrovex::testing
