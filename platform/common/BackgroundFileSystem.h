#pragma once

#include "platform/FileSystem.h"

#include <atomic>
#include <functional>

namespace carrovex
{

// Runs the long file operations (staging a copy, completing a batch, comparing two files) off the window
// thread while the window thread goes on with every event: repaints, ticks and the user's input, so a large
// file neither freezes the window nor stores up clicks that would act later on changed controls. Disabled
// controls take no input; a Cancel taken in the middle of a file ends the run after it. Calls still come
// one at a time.
class BackgroundFileSystem final : public FileSystem
{
public:
    // Runs work on another thread while the window thread runs its event loop, the user's input included,
    // and calls everySecond (where it is not empty) on the window thread about once a second meanwhile;
    // returns once work has returned. Each platform's window does this with its own loop.
    using EventsDuring
        = std::function<void(const std::function<void()>& work, const std::function<void()>& everySecond)>;

    BackgroundFileSystem(FileSystem& files, EventsDuring eventsDuring);

    std::string joinPath(const std::string& folder, const std::string& name) const override;
    Result<std::vector<std::string>> listPlainFiles(const std::string& folder) override;
    bool folderExists(const std::string& path) override;
    Result<bool> fileExists(const std::string& path) override;
    Result<bool> sameFile(const std::string& first, const std::string& second) override;
    Result<bool> sameContent(const std::string& first, const std::string& second) override;
    Result<std::int64_t> fileLength(const std::string& path) override;
    void beginRun(const std::string& destinationFolder) override;
    Status startTransfer(const std::string& source, const std::string& destination, Transfer how) override;
    // The report is called on the window thread.
    void reportProgress(ProgressReport report) override;
    bool batchDue() override;
    std::vector<Placed> completeBatch() override;

private:
    template <class Work> auto inBackground(Work work, const std::function<void()>& everySecond = {});

    FileSystem& m_files;
    EventsDuring m_eventsDuring;
    ProgressReport m_report;
    // Left by the copy on its thread for the window thread, which passes them on.
    std::atomic<std::int64_t> m_done {0};
    std::atomic<std::int64_t> m_total {0};
};

} // namespace carrovex
