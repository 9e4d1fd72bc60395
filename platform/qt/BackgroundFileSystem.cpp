#include "platform/qt/BackgroundFileSystem.h"

#include <QEventLoop>
#include <future>

namespace carrovex::qt
{

namespace
{

// The window thread runs its event loop, the user's input included, until the work is done: a click is
// answered while a file is copied, never replayed once the controls have changed under it.
template <class Work> auto inBackground(Work work)
{
    QEventLoop waiting;
    auto done = std::async(std::launch::async, [&] {
        struct QuitWhenDone {
            QEventLoop& loop;
            ~QuitWhenDone()
            {
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            }
        } quit {waiting};
        return work();
    });
    waiting.exec();
    return done.get();
}

} // namespace

BackgroundFileSystem::BackgroundFileSystem(FileSystem& files)
    : m_files(files)
{
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

Status BackgroundFileSystem::startTransfer(const std::string& source, const std::string& destination, Transfer how)
{
    return inBackground([&] { return m_files.startTransfer(source, destination, how); });
}

bool BackgroundFileSystem::batchDue()
{
    return m_files.batchDue();
}

std::vector<Status> BackgroundFileSystem::completeBatch()
{
    return inBackground([&] { return m_files.completeBatch(); });
}

} // namespace carrovex::qt
