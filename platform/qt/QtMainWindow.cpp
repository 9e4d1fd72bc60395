#include "platform/qt/QtMainWindow.h"

#include "platform/MainWindowEvents.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtOptionsDialog.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ToolTipText.h"
#include "platform/qt/WidgetText.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QToolTip>

namespace carrovex::qt
{

namespace
{

// What the window's frame and title bar add to the client area, in twips.
constexpr int borderWidth = 120;
constexpr int borderHeight = 390;

} // namespace

QtMainWindow::QtMainWindow()
    : m_panel(new QFrame(this))
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    // A dark desktop theme's light text would vanish on the design's white.
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    m_panel->setAutoFillBackground(true);
    m_panel->setPalette(white);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    createControls();
    createTray();
    connectEvents();
    connectArrivals();
    m_timer.setInterval(60'000);
    m_timer.start();
    relayout();
}

QtMainWindow::~QtMainWindow()
{
    // Destroying the widgets moves the focus: nothing may reach the logic any more.
    m_events = nullptr;
    disconnect(qApp, nullptr, this, nullptr);
    setBusyPointer(false);
}

void QtMainWindow::setEvents(MainWindowEvents* events)
{
    m_events = events;
}

QWidget* QtMainWindow::widget(Control control) const
{
    return m_widgets.at(control);
}

void QtMainWindow::relayout()
{
    m_layout.apply();
    applySize();
}

void QtMainWindow::applySize()
{
    setFixedSize(m_layout.pixels(m_outerWidth - borderWidth), m_layout.pixels(m_outerHeight - borderHeight));
}

std::string QtMainWindow::text(Control control) const
{
    if (const auto entry = m_trayEntries.find(control); entry != m_trayEntries.end()) {
        return fromQt(entry->second->text());
    }
    return widgetText(m_widgets.at(control));
}

void QtMainWindow::setText(Control control, const std::string& text)
{
    if (const auto entry = m_trayEntries.find(control); entry != m_trayEntries.end()) {
        entry->second->setText(toQt(text));
    } else if (setWidgetText(m_widgets.at(control), text)) {
        relayout();
    }
    if (control == Control::StartStop && m_trayStartStop != nullptr) {
        m_trayStartStop->setText(toQt(text)); // the tray's entry is the button away from the window
    }
}

int QtMainWindow::value(Control control) const
{
    return widgetValue(m_widgets.at(control));
}

void QtMainWindow::setValue(Control control, int value)
{
    setWidgetValue(m_widgets.at(control), value);
}

void QtMainWindow::setEnabled(Control control, bool enabled)
{
    m_widgets.at(control)->setEnabled(enabled);
    if (control == Control::StartStop && m_trayStartStop != nullptr) {
        m_trayStartStop->setEnabled(enabled);
    }
}

bool QtMainWindow::isEnabled(Control control) const
{
    return m_widgets.at(control)->isEnabled();
}

void QtMainWindow::setToolTip(Control control, const std::string& text)
{
    m_widgets.at(control)->setToolTip(toQt(text));
}

void QtMainWindow::setAccessibleName(Control control, const std::string& name)
{
    m_widgets.at(control)->setAccessibleName(toQt(name));
}

void QtMainWindow::setVisible(Control control, bool visible)
{
    m_widgets.at(control)->setVisible(visible);
}

void QtMainWindow::setTop(Control control, int twips)
{
    m_layout.setTop(m_widgets.at(control), twips);
    relayout();
}

void QtMainWindow::clearList(Control control)
{
    if (auto* combo = qobject_cast<QComboBox*>(m_widgets.at(control))) {
        const QString text = combo->currentText();
        combo->clear();
        combo->setEditText(text);
    }
}

void QtMainWindow::addItem(Control control, int position, const std::string& text)
{
    insertListItem(m_widgets.at(control), position, text);
}

void QtMainWindow::setCaption(const std::string& caption)
{
    setWindowTitle(toQt(caption));
    m_tray->setToolTip(toQt(caption));
}

bool QtMainWindow::isMinimized() const
{
    return QWidget::isMinimized() || (m_shownBefore && isHidden());
}

void QtMainWindow::setOuterWidth(int twips)
{
    m_outerWidth = twips;
    applySize();
}

void QtMainWindow::setOuterHeight(int twips)
{
    m_outerHeight = twips;
    applySize();
}

void QtMainWindow::setPanelHeight(int twips)
{
    m_layout.setHeight(m_panel, twips);
    relayout();
}

void QtMainWindow::setBusyPointer(bool busy)
{
    if (busy && !m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!busy && m_busy) {
        QApplication::restoreOverrideCursor();
    }
    m_busy = busy;
}

// A run lets events run twice per file. Each time repaints the log, which costs more than a small file's
// copy, so events run at most every 15 ms: the window still paints 60 times a second and a click waits no
// longer than that.
void QtMainWindow::processEvents()
{
    constexpr qint64 eventPeriodMs = 15;
    if (m_sinceEventsRan.isValid() && m_sinceEventsRan.elapsed() < eventPeriodMs) {
        return;
    }
    QCoreApplication::processEvents();
    m_sinceEventsRan.start();
}

void QtMainWindow::setTimerEnabled(bool enabled)
{
    if (enabled) {
        m_timer.start(); // a full period from now
    } else {
        m_timer.stop();
    }
}

Status QtMainWindow::watchArrivals(const std::string& folder)
{
    return m_arrivals.watch(folder);
}

void QtMainWindow::connectArrivals()
{
    m_arrivalsQuiet.setSingleShot(true);
    m_arrivalsQuiet.setInterval(arrivalQuietPeriod);
    connect(&m_arrivalsQuiet, &QTimer::timeout, this, [this] {
        if (m_events && !m_events->filesArrived()) {
            m_arrivalsQuiet.start();
        }
    });
    if (m_arrivals.descriptor() < 0) {
        return; // every watch fails with the reason, which the logic writes to the log
    }
    auto* notifier = new QSocketNotifier(m_arrivals.descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        // Each arrival puts the report off, so that a burst of files brings one run.
        if (m_arrivals.take()) {
            m_arrivalsQuiet.start();
        }
    });
}

namespace
{

// Answered only by Yes or No, as on the home platform: Escape or the close box would otherwise count as No,
// and a No to "Save settings?" loses the folders the user has just set.
class YesNoBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
    }
};

} // namespace

bool QtMainWindow::askYesNo(const std::string& prompt, const std::string& title)
{
    YesNoBox box(QMessageBox::NoIcon, toQt(title), toQt(prompt), QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtMainWindow::close()
{
    m_mayClose = true;
    m_timer.stop();
    m_arrivalsQuiet.stop();
    m_tray->hide();
    QWidget::close();
    emit closed(); // also when the window was hidden in the tray, which closing does not reach
}

void QtMainWindow::endSession()
{
    if (!m_mayClose && (m_events == nullptr || m_events->sessionEnding())) {
        close();
    }
}

void QtMainWindow::closeEvent(QCloseEvent* event)
{
    if (m_mayClose || m_events == nullptr || m_events->closeRequested()) {
        const bool closedBefore = m_mayClose;
        m_mayClose = true;
        m_timer.stop();
        m_tray->hide();
        event->accept();
        if (!closedBefore) {
            emit closed();
        }
    } else {
        event->ignore(); // the logic closes the window once the run in progress has returned
    }
}

void QtMainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_events) {
        m_events->resized();
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_events) {
        m_events->activated();
    }
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logView->viewport()) {
        if (event->type() == QEvent::MouseMove && m_events) {
            const auto* move = static_cast<QMouseEvent*>(event);
            const QPointF at = move->position();
            m_events->mouseMoved(
                Control::Log, move->buttons().toInt(), at.x() * twipsPerPixelX(), at.y() * twipsPerPixelY());
        } else if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString tip = m_logView->viewport()->toolTip();
            if (tip.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), toolTipForScreen(tip, help->globalPos()), m_logView->viewport());
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtMainWindow::appendLine(const std::string& line)
{
    m_logView->append(toQt(line));
    if (m_logListener != nullptr) {
        m_logListener->lineAppended(line);
    }
}

void QtMainWindow::removeLastLine()
{
    m_logView->removeLast();
    if (m_logListener != nullptr) {
        m_logListener->lastLineRemoved();
    }
}

void QtMainWindow::setLogListener(LogListener* listener)
{
    m_logListener = listener;
}

int QtMainWindow::lineCount() const
{
    return m_logView->count();
}

std::string QtMainWindow::lineText(int index) const
{
    return fromQt(m_logView->line(index));
}

void QtMainWindow::selectLine(int index)
{
    m_logView->select(index);
}

int QtMainWindow::lineAt(int x, int y) const
{
    return m_logView->rowAt(QPoint(x, y));
}

void QtMainWindow::setListToolTip(const std::string& text)
{
    m_logView->viewport()->setToolTip(toQt(text));
}

double QtMainWindow::twipsPerPixelX() const
{
    return 1.0 / m_layout.scale();
}

double QtMainWindow::twipsPerPixelY() const
{
    return 1.0 / m_layout.scale();
}

std::string QtMainWindow::browseFolder(const std::string& prompt, const std::string& startFolder)
{
    // Without a folder of its own the dialog would open at the working folder: "/" from a desktop entry.
    const QString start = startFolder.empty() ? QDir::homePath() : toQt(startFolder);
    return fromQt(QFileDialog::getExistingDirectory(this, toQt(prompt), start, QFileDialog::ShowDirsOnly));
}

// Modal to this window only and without a nested event loop, so that a run in progress goes on while the
// dialog is open; the dialog keeps its logic and deletes itself when it closes.
void QtMainWindow::showOptionsDialog(const DialogLogicFactory& makeLogic)
{
    auto* dialog = new QtOptionsDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->adopt(makeLogic(*dialog));
    dialog->open();
}

} // namespace carrovex::qt
