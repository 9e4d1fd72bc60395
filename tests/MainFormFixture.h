#pragma once

#include "platform/model/WindowModel.h"
#include "settings/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/NumberedTexts.h"
#include "window/MainForm.h"

#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

// A main window with the texts "t0" to "t38", a source folder /src and a destination folder /dst, both on
// drive "/" with 1 GiB free, Copy selected and overwrite off; the settings file is /prog/Carrovex.ini and
// the language file /prog/lang/Test.dat, both in memory.
class MainFormFixture : public ::testing::Test
{
protected:
    MainFormFixture()
    {
        files.addFolder("/src");
        files.addFolder("/dst");
        window.setText(Control::Text1, "/src");
        window.setText(Control::Text2, "/dst");
        drives.setDrive("/src", "/");
        drives.setDrive("/dst", "/");
        drives.setFree("/", std::uint64_t {1} << 30);
        choose(false);
        ini.sIniFile = "/prog/Carrovex.ini";
        ini.sLangFile = "/prog/lang/Test.dat";
    }

    std::string stored(const std::string& key)
    {
        return ini.ReadIniValue("Options", key, "(missing)", iniValueSize);
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
    MemoryTextFiles textFiles;
    IniStore ini {textFiles};
    FixedNumberFormat numbers;
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}, {}};
};

} // namespace carrovex::testing
