#include "platform/qt/QtMainWindow.h"

#include "platform/MainWindowEvents.h"
#include "platform/qt/LogListModel.h"
#include "platform/qt/QtOptionsDialog.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WidgetText.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

namespace carrovex::qt
{

namespace
{

constexpr int frameLeft = 30;
constexpr int frameTop = -30;
// What the window's frame and title bar add to the client area, in twips.
constexpr int borderWidth = 120;
constexpr int borderHeight = 390;

} // namespace

QtMainWindow::QtMainWindow()
    : m_frame(new QFrame(this))
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_frame->setAutoFillBackground(true);
    m_frame->setPalette(white);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    createControls();
    connectEvents();
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

void QtMainWindow::createControls()
{
    QWidget* panel = m_frame;
    m_label1 = new QLabel(panel);
    m_text1 = new QLineEdit(panel);
    m_cmdFrom = new QPushButton(panel);
    m_label2 = new QLabel(panel);
    m_text2 = new QLineEdit(panel);
    m_cmdTo = new QPushButton(this); // lies on the window, above the panel
    m_label3 = new QLabel(panel);
    m_combo1 = new QComboBox(panel);
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_option0 = new QRadioButton(panel);
    m_option1 = new QRadioButton(panel);
    m_check2 = new QCheckBox(panel);
    m_check1 = new QCheckBox(panel);
    m_label4 = new QLabel(panel);
    m_list1 = new QListView(panel);
    m_log = new LogListModel(m_list1);
    m_list1->setModel(m_log);
    m_list1->setUniformItemSizes(true);
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list1->viewport()->setMouseTracking(true);
    m_list1->viewport()->installEventFilter(this);
    m_cmdOpt = new QPushButton(panel);
    m_cmdStopStart = new QPushButton(panel);
    m_cmdStopStart->setDefault(true);
    m_cmdQuit = new QPushButton(panel);
    m_cmdTo->raise();

    struct Design {
        Control control;
        QWidget* widget;
        QRect twips;
        bool showsText;
    };
    const Design designs[] = {{Control::Label1, m_label1, {135, 240, 4185, 255}, true},
        {Control::Text1, m_text1, {135, 480, 5355, 285}, false},
        {Control::cmdFrom, m_cmdFrom, {5550, 480, 285, 285}, false},
        {Control::Label2, m_label2, {135, 840, 4275, 255}, true},
        {Control::Text2, m_text2, {135, 1080, 5355, 285}, false},
        {Control::cmdTo, m_cmdTo, {5580, 1020, 285, 285}, false},
        {Control::Label3, m_label3, {135, 1410, 1395, 255}, true},
        {Control::Combo1, m_combo1, {135, 1650, 1275, 315}, false},
        {Control::Option1_0, m_option0, {1530, 1530, 1875, 255}, true},
        {Control::Option1_1, m_option1, {1530, 1770, 1995, 255}, true},
        {Control::Check2, m_check2, {3630, 1530, 2265, 195}, true},
        {Control::Check1, m_check1, {3630, 1770, 2295, 195}, true},
        {Control::Label4, m_label4, {135, 2010, 4095, 225}, true},
        {Control::List1, m_list1, {135, 2250, 5700, 840}, false},
        {Control::cmdOpt, m_cmdOpt, {120, 3210, 1845, 315}, true},
        {Control::cmdStopStart, m_cmdStopStart, {2025, 3210, 1875, 315}, true},
        {Control::cmdQuit, m_cmdQuit, {3975, 3210, 1845, 315}, true}};
    m_layout.add(m_frame, {frameLeft, frameTop, 5985, 3675}, false);
    for (const Design& design : designs) {
        m_widgets[design.control] = design.widget;
        m_layout.add(design.widget, design.twips, design.showsText);
    }
    // The panel's labels take no focus; the usable controls follow in this order.
    QWidget* order[] = {m_text1,
        m_cmdFrom,
        m_text2,
        m_cmdTo,
        m_combo1,
        m_option0,
        m_option1,
        m_check2,
        m_check1,
        m_cmdOpt,
        m_cmdStopStart,
        m_cmdQuit,
        m_list1};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void QtMainWindow::connectEvents()
{
    const auto changed = [this](Control control) {
        return [this, control] {
            if (m_events) {
                m_events->changed(control);
            }
        };
    };
    const auto clicked = [this](Control control) {
        return [this, control] {
            if (m_events) {
                m_events->clicked(control);
            }
        };
    };
    connect(m_text1, &QLineEdit::textChanged, this, changed(Control::Text1));
    connect(m_text2, &QLineEdit::textChanged, this, changed(Control::Text2));
    // Set by the user or by the logic, a changed check box raises its click, as the logic expects.
    connect(m_check1, &QCheckBox::toggled, this, clicked(Control::Check1));
    connect(m_check2, &QCheckBox::toggled, this, clicked(Control::Check2));
    for (const Control control :
        {Control::cmdFrom, Control::cmdTo, Control::cmdOpt, Control::cmdStopStart, Control::cmdQuit}) {
        connect(static_cast<QPushButton*>(m_widgets[control]), &QPushButton::clicked, this, clicked(control));
    }
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_events) {
            m_events->timerTicked();
        }
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inCombo
            = [this](QWidget* w) { return w != nullptr && (w == m_combo1 || m_combo1->isAncestorOf(w)); };
        if (m_events && inCombo(old) && now != nullptr && !inCombo(now) && isAncestorOf(now)) {
            m_events->validate(Control::Combo1);
        }
    });
    // Enter presses the Start button unless another button has the focus.
    connect(m_text1, &QLineEdit::returnPressed, m_cmdStopStart, &QPushButton::animateClick);
    connect(m_text2, &QLineEdit::returnPressed, m_cmdStopStart, &QPushButton::animateClick);
    connect(m_combo1->lineEdit(), &QLineEdit::returnPressed, m_cmdStopStart, &QPushButton::animateClick);
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
    return widgetText(m_widgets.at(control));
}

void QtMainWindow::setText(Control control, const std::string& text)
{
    if (setWidgetText(m_widgets.at(control), text)) {
        relayout();
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
}

bool QtMainWindow::isEnabled(Control control) const
{
    return m_widgets.at(control)->isEnabled();
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
}

bool QtMainWindow::isMinimized() const
{
    return QWidget::isMinimized();
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

void QtMainWindow::setFrameHeight(int twips)
{
    m_layout.setHeight(m_frame, twips);
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

void QtMainWindow::processEvents()
{
    QCoreApplication::processEvents();
}

void QtMainWindow::setTimerEnabled(bool enabled)
{
    if (enabled) {
        m_timer.start(); // a full period from now
    } else {
        m_timer.stop();
    }
}

bool QtMainWindow::askYesNo(const std::string& prompt, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, toQt(title), toQt(prompt), QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtMainWindow::close()
{
    m_mayClose = true;
    m_timer.stop();
    QWidget::close();
}

void QtMainWindow::closeEvent(QCloseEvent* event)
{
    if (m_mayClose || m_events == nullptr || m_events->closeRequested()) {
        m_mayClose = true;
        m_timer.stop();
        event->accept();
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
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list1->viewport()) {
        if (event->type() == QEvent::MouseMove && m_events) {
            const auto* move = static_cast<QMouseEvent*>(event);
            const QPointF at = move->position();
            m_events->mouseMoved(
                Control::List1, move->buttons().toInt(), at.x() * twipsPerPixelX(), at.y() * twipsPerPixelY());
        } else if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString tip = m_list1->viewport()->toolTip();
            if (tip.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), tip, m_list1->viewport());
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtMainWindow::appendLine(const std::string& line)
{
    m_log->append(toQt(line));
}

void QtMainWindow::removeLastLine()
{
    m_log->removeLast();
}

int QtMainWindow::lineCount() const
{
    return m_log->rowCount();
}

std::string QtMainWindow::lineText(int index) const
{
    return fromQt(m_log->line(index));
}

void QtMainWindow::selectLine(int index)
{
    const QModelIndex row = m_log->index(index, 0);
    m_list1->setCurrentIndex(row);
    if (row.isValid()) {
        m_list1->scrollTo(row);
    }
}

int QtMainWindow::lineAt(int x, int y) const
{
    const QModelIndex row = m_list1->indexAt(QPoint(x, y));
    return row.isValid() ? row.row() : -1;
}

void QtMainWindow::setListToolTip(const std::string& text)
{
    m_list1->viewport()->setToolTip(toQt(text));
}

double QtMainWindow::twipsPerPixelX() const
{
    return 1.0 / m_layout.scale();
}

double QtMainWindow::twipsPerPixelY() const
{
    return 1.0 / m_layout.scale();
}

std::string QtMainWindow::browseFolder(const std::string& prompt)
{
    return fromQt(QFileDialog::getExistingDirectory(this, toQt(prompt), QString(), QFileDialog::ShowDirsOnly));
}

void QtMainWindow::showOptionsDialog(const DialogLogicFactory& makeLogic)
{
    QtOptionsDialog dialog(this);
    const std::unique_ptr<OptionsDialogEvents> logic = makeLogic(dialog);
    dialog.setEvents(logic.get());
    logic->load();
    dialog.exec();
}

} // namespace carrovex::qt
