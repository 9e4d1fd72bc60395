// carrovex-console.exe: the console program on Windows.
#include "app/ConsoleProgram.h"
#include "platform/win32/ConsoleTerminal.h"
#include "platform/win32/FolderLayout.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DriveTable.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32NumberFormat.h"
#include "platform/win32/Win32TextFiles.h"

#include <string>
#include <vector>
#include <windows.h>

using namespace carrovex;

int wmain(int argc, wchar_t** argv)
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::vector<std::string> arguments;
    for (int index = 1; index < argc; ++index) {
        arguments.push_back(win32::narrow(argv[index]));
    }
    const ConsoleWords words {"Ctrl+C, Ctrl+Break or closing the console",
        "130 (Ctrl+C), 143 (Ctrl+Break, closing) cancelled the run",
        "The settings folder is the program's own when it holds lang\\ or Carrovex.ini\n"
        "and may be written there, else %APPDATA%\\Carrovex. A language file in its\n"
        "lang\\ is used before the program's file of that name.\n",
        '\\'};
    const std::string programFolder = win32::programFolder();
    const auto findFolders = [&](const std::optional<std::string>& settingsFolder) {
        return win32::findProgramFolders(programFolder, settingsFolder, win32::userSettingsFolder());
    };
    const auto run = [](const ConsoleOptions& options, const ProgramFolders& folders) {
        win32::ConsoleTerminal terminal;
        win32::Win32FileSystem files;
        win32::Win32DriveTable drives;
        win32::Win32Clock clock;
        win32::Win32TextFiles textFiles;
        win32::Win32NumberFormat numbers;
        const auto holdFolder = [](const std::string& folder) {
            auto instance = std::make_shared<win32::SingleInstance>(folder);
            return instance->isFirst() ? std::shared_ptr<void>(instance) : nullptr;
        };
        ConsolePlatform platform {files, drives, clock, textFiles, textFiles, numbers, terminal, holdFolder};
        return runConsole(options, folders, platform);
    };
    return consoleMain(arguments, words, findFolders, run);
}
