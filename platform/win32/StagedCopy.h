#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/win32/FileHandles.h"

#include <functional>
#include <string>

namespace carrovex::win32
{

// A copy of a source file in the destination folder, waiting to be placed under its name. It is hidden,
// has a name of this program's own ("~carrovex-<process>-<n>.tmp") that no listing shows, is open to
// nobody else, and is marked to be deleted when it is closed: should the program end in any way before it
// is placed, nothing of it stays. Dropped unplaced, it is deleted.
class StagedCopy
{
public:
    // Copies the open source into a new staged copy in the folder, with the source's times and
    // attributes, and flushes it to the disk, telling the report how far it has got (see
    // FileSystem::reportProgress). Fails, leaving nothing behind, when a read, a write or the flush fails, or
    // the source changed while it was read.
    static Result<StagedCopy> make(HANDLE source, const std::wstring& folder, const ProgressReport& report);

    StagedCopy(StagedCopy&&) = default;
    StagedCopy& operator=(StagedCopy&&) = default;
    ~StagedCopy();

    // Gives the copy its name through rename, which renames the open copy and says why it could not, and
    // makes the new name durable. The copy goes when this fails.
    Status place(const std::function<Status(HANDLE copy)>& rename);

    // The source as it was when it was copied.
    const FileState& source() const
    {
        return m_source;
    }

private:
    StagedCopy(Handle file, std::wstring path, bool deletesItself);
    void discard();

    Handle m_file;
    std::wstring m_path;
    bool m_deletesItself = false; // where a file system cannot mark it, it is deleted by its name
    FileState m_source;
};

// Whether a name is one of a staged copy; such files are never listed.
bool isStagedName(const std::wstring& name);

// Deletes the staged copies in the folder that were left behind (the program ended between giving up a
// copy's deletion and placing it); copies that a living program holds open are left alone.
void removeAbandonedCopies(const std::wstring& folder);

} // namespace carrovex::win32
