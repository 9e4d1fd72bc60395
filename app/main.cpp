#include "form/Captions.h"
#include "form/KeptLog.h"
#include "form/LaterTexts.h"
#include "form/LogFile.h"
#include "form/MainForm.h"
#include "platform/common/BackgroundFileSystem.h"
#include "platform/common/FoldersInUse.h"
#include "platform/posix/FolderLayout.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixNumberFormat.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/posix/ProgramFolder.h"
#include "platform/posix/SingleInstance.h"
#include "platform/posix/StopSignals.h"
#include "platform/qt/EventsDuring.h"
#include "platform/qt/QtMainWindow.h"
#include "settings/SettleTime.h"
#include "store/IniStore.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace carrovex;

namespace
{

constexpr int statusUnusable = 2;

constexpr const char* usage = R"(Usage: carrovex [/s]

Moves or copies every file lying directly in the source folder into the
destination folder, each time the chosen interval has elapsed.

  /s         start the scheduler as soon as the window is shown
  --help     show this help and exit
  --version  show the version and exit

A second start with the same settings brings the running window to the front.

)";

bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Everything after the program name, as one text.
std::string commandLineOf(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' ')).toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    const ProgramFolders folders
        = posix::findProgramFolders(posix::programFolder(argv[0]), std::nullopt, posix::userEnvironment());
    const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
    if (help || (argc == 2 && std::strcmp(argv[1], "--version") == 0)) {
        if (help) {
            std::fputs(usage, stdout);
        } else {
            std::printf("carrovex %s\n", CARROVEX_VERSION);
        }
        std::fputs(foldersInUse(folders, '/').c_str(), stdout);
        return 0;
    }
    // Logging out and shutting down end the program with SIGTERM: taken as events, before any thread starts.
    posix::StopSignals stopSignals;
    if (!hasDisplay()) {
        std::fprintf(stderr, "carrovex: no display to show the window on (DISPLAY is not set)\n");
        return statusUnusable;
    }
    QApplication application(argc, argv);
    std::setlocale(LC_ALL, ""); // dates, times and the decimal sign in the user's formats
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/carrovex-32.png"));
    icon.addFile(QStringLiteral(":/icons/carrovex-48.png"));
    QApplication::setWindowIcon(icon); // the options dialog and the tray icon show it too
    QApplication::setDesktopFileName(QStringLiteral("org.carrovex.Carrovex")); // its desktop entry, for Wayland
    // Hidden in the tray, the window is no longer open to Qt; the program ends when the window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    posix::PosixTextFiles textFiles;
    posix::BatchLimits limits;
    limits.settleTime = settleTime(textFiles, folders.settings + "/Carrovex.ini", limits.settleTime);
    posix::PosixFileSystem diskFiles(limits);
    BackgroundFileSystem files(diskFiles, qt::runEventsDuring);
    posix::PosixDriveTable drives;
    posix::PosixClock clock;
    posix::PosixNumberFormat numbers;
    IniStore ini(textFiles);
    qt::QtMainWindow window;
    QObject::connect(&window, &qt::QtMainWindow::closed, &application, &QCoreApplication::quit);
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller(form);
    window.setEvents(&controller);
    applyDesign(window);

    // The per-user folder may be new; without it nothing could be saved.
    if (const Status made = posix::makeSettingsFolder(folders.settings); !made.ok()) {
        std::fprintf(stderr,
            "carrovex: cannot make the settings folder %s: %s\n",
            folders.settings.c_str(),
            made.error().c_str());
    }
    if (const Status made = posix::makeSettingsFolder(folders.log); !made.ok()) {
        std::fprintf(
            stderr, "carrovex: cannot make the log folder %s: %s\n", folders.log.c_str(), made.error().c_str());
    }
    Form_Load(form, folders, commandLineOf(QCoreApplication::arguments()));

    // One window on a settings folder: a second start brings the first window to the front.
    posix::SingleInstance instance(folders.settings);
    if (!instance.isFirst()) {
        if (instance.askFirstToComeForward()) {
            return 0;
        }
        window.showMessage(withArguments(laterText(ini, LaterText::AlreadyRunning), {folders.settings}),
            captionPrefix + form.texts[36]);
        return statusUnusable;
    }
    if (const int requests = instance.listen(); requests >= 0) {
        auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&] {
            if (instance.takeRequests()) {
                window.bringToFront();
            }
        });
    }

    // Only the program that holds the settings folder writes its log.
    LogFile logFile(textFiles, textFiles, files.joinPath(folders.log, "Carrovex.log"));
    KeptLog keptLog(form, logFile, [&](const std::string& text) { reportInLog(form, text); });
    restoreLog(form, logFile);
    keepLog(form, keptLog);

    // The end of the session closes the window without the question that no one may be there to answer.
    QSocketNotifier stopped(stopSignals.descriptor(), QSocketNotifier::Read);
    QObject::connect(&stopped, &QSocketNotifier::activated, &window, [&] {
        if (stopSignals.taken()) {
            window.endSession();
        }
    });

    window.show();
    const int status = QApplication::exec();
    window.setLogListener(nullptr);
    window.setEvents(nullptr); // the logic ends before the window
    return status;
}
