#include "platform/MainWindowEvents.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtText.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>

// The main window on the desktop: its tray icon and notifications, messages, the platform's own texts,
// its first appearance and the Enter key.
namespace carrovex::qt
{

void QtMainWindow::createTray()
{
    m_tray = new QSystemTrayIcon(this);
    auto* menu = new QMenu(this);
    for (const Control control : {Control::TrayShow, Control::StartStop, Control::OpenLogFile, Control::TrayQuit}) {
        QAction* entry = menu->addAction(QString());
        (control == Control::StartStop ? m_trayStartStop : m_trayEntries[control]) = entry;
        connect(entry, &QAction::triggered, this, [this, control] { raiseClick(control); });
    }
    m_tray->setContextMenu(menu);
    // The window offers the log file where its lines are: in the log list's own menu.
    m_logView->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_logView->addAction(m_trayEntries.at(Control::OpenLogFile));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
            raiseClick(Control::TrayShow);
        }
    });
    connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] { raiseClick(Control::TrayShow); });
    // The icon needs the program's icon, which the program sets before it makes the window.
    if (!QApplication::windowIcon().isNull()) {
        m_tray->setIcon(QApplication::windowIcon());
        m_tray->show();
    }
}

void QtMainWindow::raiseClick(Control control)
{
    if (m_events) {
        m_events->clicked(control);
    }
}

bool QtMainWindow::hasTray() const
{
    return m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtMainWindow::hideToTray()
{
    if (hasTray()) {
        hide();
    }
}

void QtMainWindow::bringToFront()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void QtMainWindow::notify(const std::string& title, const std::string& text)
{
    if (hasTray()) {
        m_tray->showMessage(toQt(title), toQt(text), QSystemTrayIcon::Warning, 15'000);
    }
}

bool QtMainWindow::openFile(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(path)));
}

void QtMainWindow::showMessage(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Information, toQt(title), toQt(text), QMessageBox::Ok, this);
    box.exec();
}

void QtMainWindow::setPlatformLanguage(const std::string& code)
{
    QCoreApplication::removeTranslator(&m_platformTexts);
    // "qt_de" gathers the translations of every Qt module for that language.
    if (m_platformTexts.load(QStringLiteral("qt_") + toQt(code), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_platformTexts);
    }
}

// Centred before the window is first mapped, and the logic told once the window is on the screen.
void QtMainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownBefore) {
        return;
    }
    m_shownBefore = true;
    if (const QScreen* screen = QApplication::primaryScreen()) {
        move(firstPosition(screen->availableGeometry(), frameGeometry().size()));
    }
    QTimer::singleShot(0, this, [this] {
        // Placed again once the window manager has given the window its frame, which the first placing could
        // not know: a window taller than the screen keeps its title bar on it.
        if (const QScreen* screen = QApplication::primaryScreen()) {
            move(firstPosition(screen->availableGeometry(), frameGeometry().size()));
        }
        if (m_events) {
            m_events->shown();
        }
    });
}

// A focused button takes Enter itself; from any other control Enter presses Start.
void QtMainWindow::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (m_startStopButton->isEnabled()) {
            m_startStopButton->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace carrovex::qt
