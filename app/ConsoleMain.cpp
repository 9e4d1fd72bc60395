// carrovex-console on Linux and other POSIX systems.
#include "app/ConsoleProgram.h"
#include "platform/posix/FolderLayout.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixNumberFormat.h"
#include "platform/posix/PosixTerminal.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/posix/ProgramFolder.h"
#include "platform/posix/SingleInstance.h"
#include "settings/SettleTime.h"

#include <clocale>
#include <csignal>

using namespace carrovex;

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, ""); // dates, times and the decimal sign in the user's formats
    // Writing to a reader that has gone must fail, not end the program in the middle of a file.
    std::signal(SIGPIPE, SIG_IGN);
    const ConsoleWords words {"SIGINT or SIGTERM",
        "128+n  signal n cancelled the run",
        "The settings folder is the program's own when it holds lang/ or Carrovex.ini\n"
        "and may be written there, else $XDG_CONFIG_HOME/carrovex (~/.config/carrovex).\n"
        "A language file in its lang/ is used before the program's file of that name.\n",
        '/'};
    const std::string programFolder = posix::programFolder(argv[0]);
    const auto findFolders = [&](const std::optional<std::string>& settingsFolder) {
        return posix::findProgramFolders(programFolder, settingsFolder, posix::userEnvironment());
    };
    const auto run = [](const ConsoleOptions& options, const ProgramFolders& folders) {
        posix::PosixTerminal terminal; // first: the stop signals are blocked before any thread starts
        posix::PosixTextFiles textFiles;
        posix::BatchLimits limits;
        limits.settleTime = settleTime(textFiles, folders.settings + "/Carrovex.ini", limits.settleTime);
        posix::PosixFileSystem files(limits);
        posix::PosixDriveTable drives;
        posix::PosixClock clock;
        posix::PosixNumberFormat numbers;
        const auto holdFolder = [](const std::string& folder) {
            auto instance = std::make_shared<posix::SingleInstance>(folder);
            return instance->isFirst() ? std::shared_ptr<void>(instance) : nullptr;
        };
        ConsolePlatform platform {files, drives, clock, textFiles, textFiles, numbers, terminal, holdFolder};
        return runConsole(options, folders, platform);
    };
    return consoleMain({argv + 1, argv + argc}, words, findFolders, run);
}
