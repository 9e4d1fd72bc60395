#include "form/MainForm.h"
#include "platform/posix/FolderLayout.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixNumberFormat.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/posix/ProgramFolder.h"
#include "platform/qt/BackgroundFileSystem.h"
#include "platform/qt/QtMainWindow.h"
#include "store/IniStore.h"
#include "window/MainWindowController.h"
#include "window/MainWindowDesign.h"
#include "window/StartupShutdown.h"

#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <cstdlib>

using namespace carrovex;

namespace
{

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
    if (!hasDisplay()) {
        std::fprintf(stderr, "carrovex: no display to show the window on (DISPLAY is not set)\n");
        return 2;
    }
    QApplication application(argc, argv);
    std::setlocale(LC_ALL, ""); // dates, times and the decimal sign in the user's formats
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/carrovex-32.png"));
    icon.addFile(QStringLiteral(":/icons/carrovex-48.png"));
    QApplication::setWindowIcon(icon); // the options dialog shows it too
    QApplication::setDesktopFileName(QStringLiteral("org.carrovex.Carrovex")); // its desktop entry, for Wayland

    posix::PosixFileSystem diskFiles;
    qt::BackgroundFileSystem files(diskFiles);
    posix::PosixDriveTable drives;
    posix::PosixClock clock;
    posix::PosixTextFiles textFiles;
    posix::PosixNumberFormat numbers;
    IniStore ini(textFiles);
    qt::QtMainWindow window;
    MainForm form {window, files, drives, clock, ini, numbers, {}, {}, {}, {}};
    MainWindowController controller(form);
    window.setEvents(&controller);
    applyDesign(window);

    const ProgramFolders folders
        = posix::findProgramFolders(posix::programFolder(argv[0]), std::nullopt, posix::userEnvironment());
    // The per-user folder may be new; without it nothing could be saved.
    if (const Status made = posix::makeSettingsFolder(folders.settings); !made.ok()) {
        std::fprintf(stderr,
            "carrovex: cannot make the settings folder %s: %s\n",
            folders.settings.c_str(),
            made.error().c_str());
    }
    Form_Load(form, folders, commandLineOf(QCoreApplication::arguments()));
    window.show();
    const int status = QApplication::exec();
    window.setEvents(nullptr); // the logic ends before the window
    return status;
}
