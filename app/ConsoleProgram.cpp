// carrovex-console: the scheduler and the transfer run without a desktop, for servers and scripts.
#include "app/ConsoleProgram.h"

#include "engine/DestinationDisk.h"
#include "form/KeptLog.h"
#include "form/LaterTexts.h"
#include "form/LogFile.h"
#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/TextFiles.h"
#include "platform/common/FoldersInUse.h"
#include "platform/console/ConsoleText.h"
#include "platform/console/ConsoleWindow.h"
#include "platform/console/Terminal.h"
#include "schedule/RunScheduler.h"
#include "store/IniStore.h"
#include "window/MainWindowController.h"
#include "window/StartupShutdown.h"

#include <cstdio>
#include <exception>
#include <string>
#include <utility>

namespace carrovex
{

namespace
{

constexpr int statusFailed = 1;
constexpr int statusUnusable = 2;

constexpr const char* usage = R"(Usage: carrovex-console [--once] [--new-destination] [--dir DIR] [--log FILE]

Moves or copies every file lying directly in the source folder into the
destination folder, with the settings of Carrovex.ini in the settings folder,
and prints each log line once it is final.

Without --once the scheduler starts at once and runs until it is asked to
stop by %1.
A run in progress then stops after the file in hand, the settings are saved
as on closing the window ("Question=1" asks on a terminal and saves nothing
without one), and the status is 0, or 1 when the settings could not be saved.

  --once     make one transfer run and exit with status
               0  every file was transferred or left as the rules say
               1  an error line was written
               2  a folder does not exist, the settings cannot be used, or
                  another Carrovex runs with them
             %2
  --new-destination
             take the destination folder's disk as it is now: a run refuses
             a destination that is not on the disk it was on when a run last
             placed a file there (its disk not mounted), until that disk is
             back or this option confirms the new one
  --dir DIR  use the settings folder DIR
  --log FILE also add each final log line to FILE (made when missing; at
             1 MiB it becomes FILE.1, the older ones FILE.2 and FILE.3)
  --help     show this help and exit
  --version  show the version and exit

%3
)";

int unusable(const std::string& reason)
{
    writeText(stderr, "carrovex-console: " + reason + '\n');
    return statusUnusable;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Why the language file cannot be read, or nothing. Without it there are no texts to say so in.
std::string whyNoLanguage(TextFiles& textFiles, const std::string& path)
{
    const Result<std::optional<std::string>> content = textFiles.readAll(path);
    if (!content.ok()) {
        return "cannot read the language file " + quoted(path) + ": " + content.error();
    }
    return content.value() ? std::string() : "there is no language file " + quoted(path);
}

// Why the loaded settings cannot run, or nothing.
std::string whyUnusable(MainForm& form, TextFiles& textFiles)
{
    const IniStore& ini = form.ini;
    const std::string settingsFile = quoted(ini.settingsFile);
    // Without its texts every log line would be a bare time stamp.
    if (std::string reason = whyNoLanguage(textFiles, ini.languageFile); !reason.empty()) {
        return reason;
    }
    // A missing or unreadable settings file loads as defaults, which name no folders.
    const Result<std::optional<std::string>> settings = textFiles.readAll(ini.settingsFile);
    if (!settings.ok()) {
        return withArguments(laterText(ini, LaterText::UnreadableSettings), {settingsFile, settings.error()});
    }
    if (!settings.value()) {
        return withArguments(laterText(ini, LaterText::NoSettingsFile), {settingsFile});
    }
    // A run without a window to show the choice must not guess between moving and copying.
    if (const std::string action = readOption(ini, "Action", "Copy"); action != "Copy" && action != "Move") {
        return withArguments(laterText(ini, LaterText::UnknownAction), {action, settingsFile});
    }
    if (!form.window.isEnabled(Control::StartStop)) {
        const std::pair<Control, const char*> folders[]
            = {{Control::SourceFolder, "From"}, {Control::DestinationFolder, "To"}};
        for (const auto& [control, key] : folders) {
            const std::string folder = form.window.text(control);
            if (folder.empty()) {
                return withArguments(laterText(ini, LaterText::NoFolderSet), {key, settingsFile});
            }
            if (!form.files.folderExists(folder)) {
                return withArguments(laterText(ini, LaterText::NoSuchFolder), {quoted(folder), key, settingsFile});
            }
        }
        return withArguments(laterText(ini, LaterText::UnusableFolders), {settingsFile});
    }
    if (destinationInSource(form)) {
        return laterText(ini, LaterText::DestinationInSource);
    }
    return {};
}

int runOnce(MainForm& form, ConsoleWindow& window, const Terminal& terminal)
{
    const bool finished = runWhenFree(form);
    window.printPendingLine();
    if (!finished) {
        return terminal.stopStatus();
    }
    return form.state.runErrors > 0 ? statusFailed : 0;
}

} // namespace

int runConsole(const ConsoleOptions& options, const ProgramFolders& folders, ConsolePlatform& platform)
{
    FileSystem& files = platform.files;
    IniStore ini(platform.textFiles);
    ConsoleWindow window(stdout, platform.terminal);
    MainForm form {window, files, platform.drives, platform.clock, ini, platform.numbers, {}, {}, {}, {}};
    MainWindowController controller(form);
    window.setEvents(&controller);

    if (!files.folderExists(folders.settings)) {
        return unusable("the settings folder " + quoted(folders.settings) + " does not exist");
    }
    // Started as the window program is by /s: by the program, not by a user's click.
    Form_Load(form, folders, "/s");
    // One program at a time on these settings: two schedulers would work on the same folders. Asked first,
    // since the other may be a window whose settings are not saved yet: the file says nothing about them.
    const std::shared_ptr<void> hold = platform.holdSettingsFolder(folders.settings);
    if (!hold) {
        return unusable(withArguments(laterText(ini, LaterText::AlreadyRunning), {quoted(folders.settings)}));
    }
    if (const std::string reason = whyUnusable(form, platform.textFiles); !reason.empty()) {
        return unusable(reason);
    }
    window.setStoppingText(laterText(ini, LaterText::StoppingAfterFile));
    // Standard output stays as it is; the file is an addition, and its failure is told on standard error.
    std::optional<LogFile> logFile;
    std::optional<KeptLog> keptLog;
    if (options.logFile) {
        logFile.emplace(platform.logFiles, platform.textFiles, *options.logFile);
        keptLog.emplace(form, *logFile, [&](const std::string& text) { window.showMessage(text, ""); });
        keepLog(form, *keptLog);
    }
    if (options.newDestination) {
        forgetDestinationDisk(form);
    }
    if (options.once) {
        return runOnce(form, window, platform.terminal);
    }
    window.appear();
    window.printPendingLine();
    window.runUntilClosed();
    return form.state.saveFailed ? statusFailed : 0;
}

int consoleMain(const std::vector<std::string>& arguments,
    const ConsoleWords& words,
    const std::function<ProgramFolders(const std::optional<std::string>&)>& findFolders,
    const std::function<int(const ConsoleOptions&, const ProgramFolders&)>& run)
{
    const ParsedOptions parsed = parseConsoleOptions(arguments);
    if (!parsed.error.empty()) {
        return unusable(parsed.error + " (see --help)");
    }
    try {
        const ProgramFolders folders = findFolders(parsed.options.folder);
        if (!parsed.options.help && !parsed.options.version) {
            return run(parsed.options, folders);
        }
        std::string text = parsed.options.help
            ? withArguments(usage, {words.stopRequests, words.cancelledStatus, words.settingsFolder})
            : std::string("carrovex-console ") + CARROVEX_VERSION + '\n';
        writeText(stdout, text + foldersInUse(folders, words.separator));
        return 0;
    } catch (const std::exception& error) {
        return unusable(error.what());
    }
}

} // namespace carrovex
