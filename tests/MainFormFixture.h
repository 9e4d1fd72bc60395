#pragma once

#include "platform/model/WindowModel.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/NumberedTexts.h"
#include "window/MainForm.h"

#include <gtest/gtest.h>
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
        window.setText(Control::Text1, "/src");
        window.setText(Control::Text2, "/dst");
        choose(false);
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
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}, {}};
};

} // namespace carrovex::testing
