#pragma once

#include "tests/DiskHelpers.h"

#include <cstdint>
#include <string>

namespace carrovex::testing
{

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

// The file's attributes (FILE_ATTRIBUTE_...), or INVALID_FILE_ATTRIBUTES.
unsigned long attributesOf(const std::string& path);
void setAttributes(const std::string& path, unsigned long attributes);
// How many entries the folder has, hidden ones included.
int entryCount(const std::string& folder);
// Sets the file's last write time, in 100 ns steps since 1601.
void setLastWrite(const std::string& path, std::int64_t ticks);
// Runs a Linux command line with /bin/sh and waits for it (Wine starts Linux programs as they are).
void runOnLinux(const std::string& command);

} // namespace carrovex::testing
