#pragma once

#include "form/MainForm.h"
#include "platform/qt/QtMainWindow.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/SourceTreeFiles.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

// The real window with its logic and a shipped language, on the offscreen platform; settings and language
// under /prog and folders /src and /dst in memory, the log shown.
class QtProgram
{
public:
    explicit QtProgram(const std::string& language, FileSystem& files)
        : m_language(language)
        , form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}}
    {
        window.setEvents(&controller);
        applyDesign(window);
        settings.files["/prog/Carrovex.ini"]
            = "[Options]\nFrom=/src\nTo=/dst\nShowLog=1\nSave=0\nLanguage=" + language + "\n";
        settings.files[languageFile()]
            = *SourceTreeFiles().readAll(std::string(CARROVEX_SOURCE_DIR) + "/lang/" + language + ".dat").value();
    }

    void load()
    {
        Form_Load(form, {"/prog", {"/prog/lang"}}, "");
        // The program folder holds no language file for the file system.
        ini.languageFile = languageFile();
        LoadLanguage(form);
    }

private:
    std::string languageFile() const
    {
        return "/prog/lang/" + m_language + ".dat";
    }

    std::string m_language;

public:
    MemoryTextFiles settings;
    IniStore ini {settings};
    FakeDriveTable drives;
    FixedClock clock;
    FixedNumberFormat numbers;
    qt::QtMainWindow window;
    MainForm form;
    MainWindowController controller {form};
};

} // namespace carrovex::testing
