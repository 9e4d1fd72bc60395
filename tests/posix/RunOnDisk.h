#pragma once

#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/model/WindowModel.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixFileSystem.h"
#include "store/IniStore.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/NumberedTexts.h"
#include "tests/posix/DiskFixtures.h"

#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

// A run through the POSIX binding between real folders, with the texts "t0" to "t38".
class TransferRunOnDisk : public ::testing::Test
{
protected:
    TransferRunOnDisk()
    {
        use(source, destination);
        window.setValue(Control::Move, 0);
    }

    void use(const std::string& from, const std::string& to)
    {
        window.setText(Control::SourceFolder, from);
        window.setText(Control::DestinationFolder, to);
    }

    void choose(bool move, bool overwrite)
    {
        window.setValue(Control::Move, move ? 1 : 0);
        window.setValue(Control::Overwrite, overwrite ? 1 : 0);
    }

    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    WindowModel window;
    posix::PosixFileSystem files {settlingQuickly};
    posix::PosixDriveTable drives;
    FixedClock clock;
    MemoryTextFiles textFiles;
    IniStore ini {textFiles};
    FixedNumberFormat numbers;
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
};

} // namespace carrovex::testing
