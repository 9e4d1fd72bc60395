#pragma once

#include "platform/Result.h"
#include "platform/win32/Handle.h"

#include <array>
#include <cstdint>
#include <string>

namespace carrovex::win32
{

// What identifies a file and its content for noticing a change: the volume and the file's number on it,
// with its length and last write time.
struct FileState {
    std::uint64_t volume = 0;
    std::array<std::uint8_t, 16> id {};
    std::int64_t size = 0;
    std::int64_t lastWrite = 0;
    DWORD attributes = 0;

    bool sameFile(const FileState& other) const
    {
        return volume == other.volume && id == other.id;
    }
    bool sameContent(const FileState& other) const
    {
        return sameFile(other) && size == other.size && lastWrite == other.lastWrite;
    }
};

Result<FileState> stateOf(HANDLE file);

// Whatever lies at the path (a folder too), opened for nothing but its attributes, so that no other
// program's use of it is in the way.
Handle openForAttributes(const std::wstring& path);

// The state of whatever lies at the path (a folder too), opened for nothing but its attributes.
Result<FileState> stateAt(const std::wstring& path);

// Opens a file to be copied or moved: for reading, and for deleting when it is to be moved. No other
// program may write, rename or delete it while it is open; one that has it open for writing makes this fail
// as OpenForWriting, one that holds it otherwise with the system's sharing violation. A link is not
// followed, and anything but a plain file (a folder, a link, a device) is refused as NotRegularFile; a file
// that is no longer there was taken by another program (TakenByAnother).
Result<Handle> openSource(const std::wstring& path, bool forMove);

// Renames the open file (opened with DELETE access); an existing file under the new name is replaced only
// when replace is set, also when it is read-only (as DeleteFile with force would delete it). Returns 0 or
// the error code of the failure (ERROR_NOT_SAME_DEVICE across volumes).
DWORD renameOpenFile(HANDLE file, const std::wstring& to, bool replace);

// The failure of renameOpenFile's error code: NameRefused where the destination does not take the name.
Status renameFailure(DWORD error);

// The file is deleted when its last handle closes: when the program ends in any way, too.
bool deleteOnClose(HANDLE file, bool remove);

// Deletes the open file (opened with DELETE and FILE_WRITE_ATTRIBUTES access) once it is closed, also when
// it is read-only.
Status deleteOpenFile(HANDLE file);

} // namespace carrovex::win32
