#pragma once

#include "form/MainForm.h"
#include "settings/LanguageCatalogue.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/SourceTreeFiles.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <string>

namespace carrovex::testing
{

// A platform's real window with its logic and a shipped language: settings and language under /prog and
// folders /src and /dst in memory, the log shown; the files are the fake platform's unless others are given.
template <class Window> class ProgramWindow : public FakePlatform
{
public:
    explicit ProgramWindow(const std::string& language, FileSystem* otherFiles = nullptr)
        : m_languageFile("/prog/lang/" + language + ".dat")
        , form {window, otherFiles != nullptr ? *otherFiles : files, drives, clock, ini, numbers, {}, {}, {}, {}}
    {
        window.setEvents(&controller);
        applyDesign(window);
        textFiles.files["/prog/Carrovex.ini"]
            = "[Options]\nFrom=/src\nTo=/dst\nShowLog=1\nSave=0\nLanguage=" + language + "\n";
        textFiles.files[m_languageFile]
            = *SourceTreeFiles().readAll(std::string(CARROVEX_SOURCE_DIR) + "/lang/" + language + ".dat").value();
    }

    void load()
    {
        Form_Load(form, {"/prog", {"/prog/lang"}}, "");
        // The program folder holds no language file for the file system.
        ini.languageFile = m_languageFile;
        LoadLanguage(form);
    }

private:
    std::string m_languageFile;

public:
    Window window;
    MainForm form;
    MainWindowController controller {form};
};

} // namespace carrovex::testing
