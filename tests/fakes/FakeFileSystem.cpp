#include "tests/fakes/FakeFileSystem.h"

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

} // namespace

void FakeFileSystem::addFolder(const std::string& path)
{
    m_folders.insert(path);
}

void FakeFileSystem::addFile(const std::string& path, std::int64_t size)
{
    if (!m_files.contains(path)) {
        m_order.push_back(path);
    }
    m_files[path] = size;
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
    m_failures[{call, nth}] = description;
}

void FakeFileSystem::reportAtFinish(std::vector<PathFailure> failures)
{
    m_finishFailures = std::move(failures);
}

const std::vector<std::string>& FakeFileSystem::transfers() const
{
    return m_transfers;
}

int FakeFileSystem::finishRunCalls() const
{
    return m_finishRunCalls;
}

const std::string* FakeFileSystem::failure(Call call)
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
    if (const std::string* text = failure(Call::List)) {
        return Result<std::vector<std::string>>::failure(*text);
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
    if (const std::string* text = failure(Call::FileExists)) {
        return Result<bool>::failure(*text);
    }
    return m_files.contains(path);
}

Result<bool> FakeFileSystem::sameFile(const std::string& first, const std::string& second)
{
    if (const std::string* text = failure(Call::SameFile)) {
        return Result<bool>::failure(*text);
    }
    const std::string a = resolved(first);
    const std::string b = resolved(second);
    return a == b || m_links.contains({a, b});
}

Result<std::int64_t> FakeFileSystem::fileLength(const std::string& path)
{
    if (const std::string* text = failure(Call::FileLength)) {
        return Result<std::int64_t>::failure(*text);
    }
    const auto found = m_files.find(path);
    if (found == m_files.end()) {
        return Result<std::int64_t>::failure("No such file or directory");
    }
    return found->second;
}

Status FakeFileSystem::copyFile(const std::string& source, const std::string& destination)
{
    if (const std::string* text = failure(Call::Copy)) {
        return Status::failure(*text);
    }
    if (!m_files.contains(source)) {
        return Status::failure("No such file or directory");
    }
    m_transfers.push_back("copy " + source + " " + destination);
    addFile(destination, m_files[source]);
    return {};
}

Status FakeFileSystem::moveFile(const std::string& source, const std::string& destination, bool replace)
{
    if (const std::string* text = failure(Call::Move)) {
        return Status::failure(*text);
    }
    if (!m_files.contains(source)) {
        return Status::failure("No such file or directory");
    }
    if (!replace && m_files.contains(destination)) {
        return Status::failure("File exists");
    }
    m_transfers.push_back("move " + source + " " + destination);
    addFile(destination, m_files[source]);
    m_files.erase(source);
    m_order.erase(std::find(m_order.begin(), m_order.end(), source));
    return {};
}

std::vector<PathFailure> FakeFileSystem::finishRun()
{
    ++m_finishRunCalls;
    std::vector<PathFailure> failures;
    failures.swap(m_finishFailures);
    return failures;
}

} // namespace carrovex::testing
