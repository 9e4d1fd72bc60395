#include "platform/common/BackgroundFileSystem.h"

#include <optional>
#include <utility>

namespace carrovex
{

BackgroundFileSystem::BackgroundFileSystem(FileSystem& files, EventsDuring eventsDuring)
    : m_files(files)
    , m_eventsDuring(std::move(eventsDuring))
{
}

template <class Work> auto BackgroundFileSystem::inBackground(Work work, const std::function<void()>& everySecond)
{
    std::optional<decltype(work())> result;
    m_eventsDuring([&] { result.emplace(work()); }, everySecond);
    return std::move(*result);
}

std::string BackgroundFileSystem::joinPath(const std::string& folder, const std::string& name) const
{
    return m_files.joinPath(folder, name);
}

Result<std::vector<std::string>> BackgroundFileSystem::listPlainFiles(const std::string& folder)
{
    return m_files.listPlainFiles(folder);
}

bool BackgroundFileSystem::folderExists(const std::string& path)
{
    return m_files.folderExists(path);
}

Result<bool> BackgroundFileSystem::fileExists(const std::string& path)
{
    return m_files.fileExists(path);
}

Result<bool> BackgroundFileSystem::sameFile(const std::string& first, const std::string& second)
{
    return m_files.sameFile(first, second);
}

Result<std::int64_t> BackgroundFileSystem::fileLength(const std::string& path)
{
    return m_files.fileLength(path);
}

Result<bool> BackgroundFileSystem::sameContent(const std::string& first, const std::string& second)
{
    return inBackground([&] { return m_files.sameContent(first, second); });
}

void BackgroundFileSystem::beginRun(const std::string& destinationFolder)
{
    m_files.beginRun(destinationFolder);
}

Status BackgroundFileSystem::startTransfer(const std::string& source, const std::string& destination, Transfer how)
{
    m_total = 0;
    return inBackground([&] { return m_files.startTransfer(source, destination, how); },
        [this] {
            if (const std::int64_t total = m_total; total > 0 && m_report) {
                m_report(m_done, total);
            }
        });
}

void BackgroundFileSystem::reportProgress(ProgressReport report)
{
    m_report = std::move(report);
    ProgressReport leaveFigures;
    if (m_report) {
        leaveFigures = [this](std::int64_t done, std::int64_t total) {
            m_done = done;
            m_total = total;
        };
    }
    m_files.reportProgress(std::move(leaveFigures));
}

bool BackgroundFileSystem::batchDue()
{
    return m_files.batchDue();
}

std::vector<Placed> BackgroundFileSystem::completeBatch()
{
    return inBackground([&] { return m_files.completeBatch(); });
}

} // namespace carrovex
