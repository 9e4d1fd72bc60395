#pragma once

#include "tests/MainFormFixture.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <string>

namespace carrovex::testing
{

// The program started on the window model from /prog: a language file Deutsch.dat whose texts name their
// keys (t4 and t5 are "minute" and "minutes"), folders /src and /dst, Copy, interval 5.
class SchedulerFixture : public MainFormFixture
{
protected:
    SchedulerFixture()
    {
        window.setEvents(&controller);
        applyDesign(window);
        std::string language = "[frmMain]\n";
        for (int key = 0; key <= 44; ++key) {
            language += "t" + std::to_string(key) + "=" + textOf(key) + "\n";
        }
        textFiles.files["/prog/lang/Deutsch.dat"] = language;
        settings("From=/src\nTo=/dst\nAction=Copy\nInterval=5\n");
    }

    // The caption while started, with the minutes left and, where the scheduler waits for arrivals, that.
    static std::string countdown(int minutes, const std::string& waiting = "")
    {
        return "Carrovex Lite - t14 (" + waiting + "t17 " + std::to_string(minutes)
            + (minutes == 1 ? " minute)" : " minutes)");
    }

    static std::string textOf(int key)
    {
        return key == 4 ? "minute" : key == 5 ? "minutes" : "t" + std::to_string(key);
    }

    void settings(const std::string& lines)
    {
        textFiles.files["/prog/Carrovex.ini"] = "[Options]\n" + lines;
    }

    void setLanguageText(int key, const std::string& text)
    {
        std::string& file = textFiles.files["/prog/lang/Deutsch.dat"];
        const std::string line = "\nt" + std::to_string(key) + "=" + textOf(key) + "\n";
        file.replace(file.find(line), line.size(), "\nt" + std::to_string(key) + "=" + text + "\n");
    }

    void load(const std::string& commandLine = "")
    {
        Form_Load(form, folders, commandLine);
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            window.tick();
        }
    }

    ProgramFolders folders {"/prog", {"/prog/lang"}}; // the portable layout
    MainWindowController controller {form};
};

} // namespace carrovex::testing
