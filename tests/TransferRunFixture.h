#pragma once

#include "platform/model/WindowModel.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/NumberedTexts.h"
#include "window/MainForm.h"

#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

// A main window with the texts "t0" to "t38", a source folder /src and a destination folder /dst, both on
// drive "/" with 1 GiB free, Copy selected and overwrite off.
class TransferRunFixture : public ::testing::Test
{
protected:
    TransferRunFixture()
    {
        files.addFolder("/src");
        files.addFolder("/dst");
        window.setText(Control::Text1, "/src");
        window.setText(Control::Text2, "/dst");
        drives.setDrive("/src", "/");
        drives.setDrive("/dst", "/");
        drives.setFree("/", std::uint64_t {1} << 30);
        choose(false);
    }

    void choose(bool move)
    {
        window.setValue(Control::Option1_0, move ? 1 : 0);
        window.setValue(Control::Option1_1, move ? 0 : 1);
    }

    void overwrite(bool on)
    {
        window.setValue(Control::Check2, on ? 1 : 0);
    }

    WindowModel window;
    FakeFileSystem files;
    FakeDriveTable drives;
    FixedClock clock;
    MainForm form {window, files, drives, clock, {}, numberedTexts()};
};

} // namespace carrovex::testing
