#include "form/MainForm.h"
#include "platform/common/BackgroundFileSystem.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/FolderLayout.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DriveTable.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32NumberFormat.h"
#include "platform/win32/Win32TextFiles.h"
#include "store/IniStore.h"
#include "tests/fakes/SourceTreeFiles.h"
#include "tests/win32/WinDisk.h"
#include "tests/win32/WindowProbe.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

// The window program as carrovex.exe puts it together, on real folders: the settings and languages in the
// program's folder, the window on native controls, the files through the Win32 binding off the window
// thread.
namespace carrovex::testing
{

namespace
{

class Win32Program : public ::testing::Test
{
protected:
    Win32Program()
    {
        temp.folder("program\\lang");
        SourceTreeFiles shipped;
        writeFile(program + "\\lang\\English.dat",
            *shipped.readAll(std::string(CARROVEX_SOURCE_DIR) + "/lang/English.dat").value());
        writeFile(source + "\\a.txt", "a");
        writeFile(source + "\\b.txt", "b");
        window.setEvents(&controller);
        applyDesign(window);
    }

    void store(const std::string& options)
    {
        writeFile(program + "\\Carrovex.ini",
            "[Options]\r\n" + options + "From=" + source + "\r\nTo=" + destination
                + "\r\nAction=Move\r\nLanguage=English\r\nShowLog=1\r\n");
    }

    void start(const std::string& commandLine)
    {
        const ProgramFolders folders
            = win32::findProgramFolders(program, std::nullopt, temp.path() + "\\user", win32::mayWriteIn);
        Form_Load(form, folders, commandLine);
        window.show();
        win32::runWaitingMessages(true); // "/s" starts once the window is on the screen
    }

    std::vector<std::string> log()
    {
        std::vector<std::string> lines;
        for (int index = 0; index < window.lineCount(); ++index) {
            lines.push_back(window.lineText(index));
        }
        return lines;
    }

    TempFolder temp;
    std::string program = temp.folder("program");
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    win32::Win32FileSystem diskFiles;
    BackgroundFileSystem files {diskFiles, win32::runEventsDuring};
    win32::Win32DriveTable drives;
    win32::Win32Clock clock;
    win32::Win32TextFiles textFiles;
    win32::Win32NumberFormat numbers;
    IniStore ini {textFiles};
    win32::Win32MainWindow window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller {form};
};

TEST_F(Win32Program, SlashSWithRunOnStartMovesTheFilesAndShowsTheLog)
{
    store("DoActionOnStart=1\r\nSave=1\r\n");

    start("/s");

    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
    const std::vector<std::string> lines = log();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0], EndsWith(" - Scheduler started"));
    EXPECT_THAT(lines[1], HasSubstr(" - Moved: "));
    EXPECT_THAT(lines[2], HasSubstr(" - Moved: "));
    EXPECT_TRUE(::IsWindowVisible(window.handle()));

    ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);

    EXPECT_TRUE(window.isClosed());
    EXPECT_THAT(readFile(program + "\\Carrovex.ini"), HasSubstr("\r\nShowLog=1\r\n")); // saved on closing
}

TEST_F(Win32Program, WithoutSlashSTheSchedulerWaitsForStart)
{
    store("DoActionOnStart=1\r\n");

    start("");

    EXPECT_EQ(entriesOf(source), "a.txt b.txt");
    EXPECT_THAT(log(), ElementsAre());
    EXPECT_TRUE(window.isEnabled(Control::StartStop));
    ::SendMessageW(window.control(Control::StartStop), BM_CLICK, 0, 0);
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
}

} // namespace

} // namespace carrovex::testing
