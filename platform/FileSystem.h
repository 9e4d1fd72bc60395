#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace carrovex
{

// A failure found only when a run is finished, named by the source path it concerns.
struct PathFailure {
    std::string path;
    std::string description;
};

// Files and folders as the logic sees them. Paths and names are byte strings used exactly as the
// directory gives them. Every operation that touches the disk can fail; it then carries the system's text.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Folder text and file name joined by the platform's separator, by plain concatenation.
    virtual std::string joinPath(const std::string& folder, const std::string& name) const = 0;

    // Names (without folder) of the plain files lying directly in the folder, unsorted: regular files that
    // are not hidden. Folders, links and special files are never listed.
    virtual Result<std::vector<std::string>> listPlainFiles(const std::string& folder) = 0;

    // An empty text is no folder.
    virtual bool folderExists(const std::string& path) = 0;
    virtual Result<bool> fileExists(const std::string& path) = 0;

    // True when both paths name the very same file: one folder reached by two spellings, or a hard link.
    virtual Result<bool> sameFile(const std::string& first, const std::string& second) = 0;

    virtual Result<std::int64_t> fileLength(const std::string& path) = 0;

    // Never leaves a partial file under the destination name; an existing destination is replaced only at
    // the moment the copy is whole, so a failed copy leaves it as it was. Fails when the source changed
    // while it was copied.
    virtual Status copyFile(const std::string& source, const std::string& destination) = 0;

    // Fails when the destination exists, unless replace is set, also when it appears during the call.
    // Across file systems the source may be removed only by finishRun, once its copy is durable.
    virtual Status moveFile(const std::string& source, const std::string& destination, bool replace) = 0;

    // Called once at the end of every run: completes the moves that are still pending and reports those
    // whose source had to stay (it changed, or could not be removed).
    virtual std::vector<PathFailure> finishRun() = 0;
};

} // namespace carrovex
