#pragma once

#include "form/MainForm.h"
#include "platform/model/WindowModel.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NumberedTexts.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace carrovex::testing
{

// A main window with the texts "t0" to "t38", a source folder /src and a destination folder /dst, both on
// drive "/" with 1 GiB free, Copy selected and overwrite off; the settings file is /prog/Carrovex.ini and
// the language file /prog/lang/Test.dat, both in memory.
class MainFormFixture : public ::testing::Test, protected FakePlatform
{
protected:
    MainFormFixture()
    {
        window.setText(Control::SourceFolder, "/src");
        window.setText(Control::DestinationFolder, "/dst");
        choose(false);
        ini.languageFile = "/prog/lang/Test.dat";
    }

    std::string stored(const std::string& key)
    {
        return ini.ReadIniValue("Options", key, "(missing)", iniValueSize);
    }

    void choose(bool move)
    {
        window.setValue(Control::Move, move ? 1 : 0);
        window.setValue(Control::Copy, move ? 0 : 1);
    }

    // Files of one byte in the source folder, listed in this order.
    void sourceFiles(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            files.addFile(std::string("/src/") + name, 1);
        }
    }

    void overwrite(bool on)
    {
        window.setValue(Control::Overwrite, on ? 1 : 0);
    }

    WindowModel window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
};

} // namespace carrovex::testing
