// carrovex.exe: the window on Windows.
#include "form/Captions.h"
#include "form/KeptLog.h"
#include "form/LaterTexts.h"
#include "form/LogFile.h"
#include "form/MainForm.h"
#include "platform/common/BackgroundFileSystem.h"
#include "platform/common/FoldersInUse.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/FolderLayout.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DriveTable.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32NumberFormat.h"
#include "platform/win32/Win32TextFiles.h"
#include "store/IniStore.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

// The system's headers build on <windows.h>.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
// clang-format on

#include <cstdio>

using namespace carrovex;

namespace
{

constexpr int statusUnusable = 2;

constexpr const wchar_t* usage = L"Usage: carrovex [/s]\n\n"
                                 L"Moves or copies every file lying directly in the source folder into the destination "
                                 L"folder, each time the chosen interval has elapsed.\n\n"
                                 L"/s\tstart the scheduler as soon as the window is shown\n"
                                 L"--help\tshow this help\n"
                                 L"--version\tshow the version\n\n"
                                 L"A second start with the same settings brings the running window to the front.\n\n";

ProgramFolders programFolders()
{
    return win32::findProgramFolders(win32::programFolder(), std::nullopt, win32::userSettingsFolder());
}

// A program without a console answers --help and --version in a message box.
int answerInABox(const std::string& arguments)
{
    const std::wstring text
        = (arguments == "--version" ? L"carrovex " + win32::widen(CARROVEX_VERSION) + L"\n\n" : std::wstring(usage))
        + win32::widen(foldersInUse(programFolders(), '\\'));
    ::MessageBoxW(nullptr, text.c_str(), L"Carrovex", MB_OK | MB_ICONINFORMATION);
    return 0;
}

int run(const std::string& arguments)
{
    win32::Win32FileSystem diskFiles;
    BackgroundFileSystem files(diskFiles, win32::runEventsDuring);
    win32::Win32DriveTable drives;
    win32::Win32Clock clock;
    win32::Win32TextFiles textFiles;
    win32::Win32NumberFormat numbers;
    IniStore ini(textFiles);
    win32::Win32MainWindow window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller(form);
    window.setEvents(&controller);
    applyDesign(window);

    const ProgramFolders folders = programFolders();
    // The per-user folder may be new; without it nothing could be saved.
    if (const Status made = win32::makeSettingsFolder(folders.settings); !made.ok()) {
        window.showMessage(
            "The settings cannot be saved: the folder " + folders.settings + " cannot be made (" + made.error() + ").",
            "Carrovex");
    }
    Form_Load(form, folders, arguments);

    // One window on a settings folder: a second start brings the first window to the front.
    win32::SingleInstance instance(folders.settings);
    if (!instance.isFirst()) {
        window.setEvents(nullptr);
        if (instance.askFirstToComeForward()) {
            return 0;
        }
        window.showMessage(withArguments(laterText(ini, LaterText::AlreadyRunning), {folders.settings}),
            captionPrefix + form.texts[36]);
        return statusUnusable;
    }
    instance.listen([&window] { window.bringToFront(); });

    // Only the program that holds the settings folder writes its log.
    LogFile logFile(textFiles, textFiles, files.joinPath(folders.log, "Carrovex.log"));
    KeptLog keptLog(form, logFile, [&](const std::string& text) { reportInLog(form, text); });
    restoreLog(form, logFile);
    keepLog(form, keptLog);

    window.show();
    window.runUntilClosed();
    window.setLogListener(nullptr);
    window.setEvents(nullptr); // the logic ends before the window
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::string arguments = win32::argumentsAfterProgramName(::GetCommandLineW());
    if (arguments == "--help" || arguments == "/?" || arguments == "--version") {
        return answerInABox(arguments);
    }
    // The folder dialog is a COM object of the window's thread.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // An empty card reader or DVD drive fails quietly instead of asking for a medium.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    int status = statusUnusable;
    try {
        status = run(arguments);
    } catch (const win32::WindowRefused& refused) {
        // Nothing moves without the window: the user learns why, from the terminal under Wine, and from a
        // box wherever the system still makes one.
        const std::string text = "Carrovex cannot make its window: " + std::string(refused.what()) + ".";
        std::fprintf(stderr, "%s\n", text.c_str());
        ::MessageBoxW(nullptr, win32::widen(text).c_str(), L"Carrovex", MB_OK | MB_ICONERROR);
    }
    ::CoUninitialize();
    return status;
}
