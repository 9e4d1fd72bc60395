#pragma once

#include "form/MainForm.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/qt/QtMainWindow.h"
#include "settings/LanguageCatalogue.h"
#include "store/IniStore.h"
#include "tests/fakes/FakeDriveTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <gtest/gtest.h>
#include <string>

namespace carrovex::testing
{

// Settings in memory under /prog; the language files are read from the source tree through the same store.
class SplitFiles final : public TextFiles
{
public:
    explicit SplitFiles(MemoryTextFiles& memory)
        : m_memory(memory)
    {
    }
    Result<std::optional<std::string>> readAll(const std::string& path) override
    {
        return path.starts_with("/prog/") ? m_memory.readAll(path) : m_disk.readAll(path);
    }
    Status replaceAll(const std::string& path, const std::string& content) override
    {
        return m_memory.replaceAll(path, content);
    }

private:
    MemoryTextFiles& m_memory;
    posix::PosixTextFiles m_disk;
};

// The real window with its logic and a shipped language, on the offscreen platform; folders /src and /dst
// in memory, the log shown.
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
    }

    void load()
    {
        Form_Load(form, {"/prog", {"/prog/lang"}}, "");
        // The languages come from the source tree, whatever the program folder says.
        ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + m_language + ".dat";
        LoadLanguage(form);
    }

private:
    std::string m_language;

public:
    MemoryTextFiles settings;
    SplitFiles textFiles {settings};
    IniStore ini {textFiles};
    FakeDriveTable drives;
    FixedClock clock;
    FixedNumberFormat numbers;
    qt::QtMainWindow window;
    MainForm form;
    MainWindowController controller {form};
};

} // namespace carrovex::testing
