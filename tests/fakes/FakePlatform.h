#pragma once

#include "store/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"

#include <cstdint>

namespace carrovex::testing
{

// The platform services of a main window, in memory: a source folder /src and a destination folder /dst,
// both on drive "/" with 1 GiB free, and the settings file /prog/Carrovex.ini.
struct FakePlatform {
    FakePlatform()
    {
        files.addFolder("/src");
        files.addFolder("/dst");
        drives.setDrive("/src", "/");
        drives.setDrive("/dst", "/");
        drives.setFree("/", std::uint64_t {1} << 30);
        ini.settingsFile = "/prog/Carrovex.ini";
    }

    FakeFileSystem files;
    FakeDriveTable drives;
    FixedClock clock;
    MemoryTextFiles textFiles;
    IniStore ini {textFiles};
    FixedNumberFormat numbers;
};

} // namespace carrovex::testing
