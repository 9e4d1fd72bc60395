#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <string>

namespace carrovex::testing
{

// A fresh folder in the user's temporary folder, removed with everything in it (read-only files too).
// Paths are UTF-8 with backslashes, as the program's logic gives them to the binding.
class TempFolder
{
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::string& path() const
    {
        return m_path;
    }
    // A sub-folder, created.
    std::string folder(const std::string& name) const;

private:
    std::string m_path;
};

// A small tmpfs mounted on the Linux side for the test's life, reached through Wine's drive Z: (the Linux
// root): a second volume, or a disk that fills up. Mounting needs root; mounted() is false where it
// could not be made, and the test says why it skips.
class UnixTmpfs
{
public:
    explicit UnixTmpfs(const std::string& size);
    UnixTmpfs(const UnixTmpfs&) = delete;
    UnixTmpfs& operator=(const UnixTmpfs&) = delete;
    ~UnixTmpfs();

    bool mounted() const
    {
        return m_mounted;
    }
    // The mount's folder as Windows sees it ("Z:\tmp\...").
    const std::string& path() const
    {
        return m_path;
    }

private:
    std::string m_unixPath;
    std::string m_path;
    bool m_mounted = false;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// The file's attributes (FILE_ATTRIBUTE_...), or INVALID_FILE_ATTRIBUTES.
unsigned long attributesOf(const std::string& path);
void setAttributes(const std::string& path, unsigned long attributes);
// Names of every entry of the folder, hidden ones included, sorted, joined by blanks.
std::string entriesOf(const std::string& folder);
// How many entries the folder has, hidden ones included.
int entryCount(const std::string& folder);
// Sets the file's last write time, in 100 ns steps since 1601.
void setLastWrite(const std::string& path, std::int64_t ticks);
// Starts the one transfer and completes its batch at once.
Status transferNow(FileSystem& files, const std::string& source, const std::string& destination, Transfer how);
// Runs a Linux command line with /bin/sh and waits for it (Wine starts Linux programs as they are).
void runOnLinux(const std::string& command);

} // namespace carrovex::testing
