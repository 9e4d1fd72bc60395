#include "platform/MainWindowEvents.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The main window's widgets: where each lies in twips, the focus order, and the signals that become the
// logic's events.
namespace carrovex::qt
{

namespace
{

// The panel's top left corner in the client area; every control but one lies on the panel.
constexpr int panelLeft = 30;
constexpr int panelTop = -30;

} // namespace

void QtMainWindow::createControls()
{
    QWidget* panel = m_panel;
    m_sourceLabel = new QLabel(panel);
    m_sourceLineEdit = new QLineEdit(panel);
    m_browseSourceButton = new QPushButton(panel);
    m_destinationLabel = new QLabel(panel);
    m_destinationLineEdit = new QLineEdit(panel);
    m_browseDestinationButton = new QPushButton(this); // lies on the window, above the panel
    m_intervalLabel = new QLabel(panel);
    m_intervalComboBox = new QComboBox(panel);
    m_intervalComboBox->setEditable(true);
    m_intervalComboBox->setInsertPolicy(QComboBox::NoInsert);
    m_moveRadioButton = new QRadioButton(panel);
    m_copyRadioButton = new QRadioButton(panel);
    m_overwriteCheckBox = new QCheckBox(panel);
    m_showLogCheckBox = new QCheckBox(panel);
    m_logLabel = new QLabel(panel);
    m_logView = new LogView(panel);
    m_logView->viewport()->setMouseTracking(true);
    m_logView->viewport()->installEventFilter(this);
    m_settingsButton = new QPushButton(panel);
    m_startStopButton = new QPushButton(panel);
    m_startStopButton->setDefault(true);
    m_quitButton = new QPushButton(panel);
    m_browseDestinationButton->raise();
    // Assistive technology tells each field by the label above it.
    m_sourceLabel->setBuddy(m_sourceLineEdit);
    m_destinationLabel->setBuddy(m_destinationLineEdit);
    m_intervalLabel->setBuddy(m_intervalComboBox);
    m_logLabel->setBuddy(m_logView);
    // A focused button takes Enter, as on Windows; Enter elsewhere reaches the window (keyPressEvent).
    for (QPushButton* button :
        {m_browseSourceButton, m_browseDestinationButton, m_settingsButton, m_startStopButton, m_quitButton}) {
        button->setAutoDefault(true);
    }

    struct Design {
        Control control;
        QWidget* widget;
        QRect twips;
        bool showsText;
    };
    const Design designs[] = {{Control::SourceLabel, m_sourceLabel, {135, 240, 4185, 255}, true},
        {Control::SourceFolder, m_sourceLineEdit, {135, 480, 5355, 285}, false},
        {Control::BrowseSource, m_browseSourceButton, {5550, 480, 285, 285}, false},
        {Control::DestinationLabel, m_destinationLabel, {135, 840, 4275, 255}, true},
        {Control::DestinationFolder, m_destinationLineEdit, {135, 1080, 5355, 285}, false},
        {Control::BrowseDestination, m_browseDestinationButton, {5580, 1020, 285, 285}, false},
        {Control::IntervalLabel, m_intervalLabel, {135, 1410, 1395, 255}, true},
        {Control::Interval, m_intervalComboBox, {135, 1650, 1275, 315}, false},
        {Control::Move, m_moveRadioButton, {1530, 1530, 1875, 255}, true},
        {Control::Copy, m_copyRadioButton, {1530, 1770, 1995, 255}, true},
        {Control::Overwrite, m_overwriteCheckBox, {3630, 1530, 2265, 195}, true},
        {Control::ShowLog, m_showLogCheckBox, {3630, 1770, 2295, 195}, true},
        {Control::LogLabel, m_logLabel, {135, 2010, 4095, 225}, true},
        {Control::Log, m_logView, {135, 2250, 5700, 840}, false},
        {Control::Settings, m_settingsButton, {120, 3210, 1845, 315}, true},
        {Control::StartStop, m_startStopButton, {2025, 3210, 1875, 315}, true},
        {Control::Quit, m_quitButton, {3975, 3210, 1845, 315}, true}};
    m_layout.add(m_panel, {panelLeft, panelTop, 5985, 3675}, false);
    for (const Design& design : designs) {
        m_widgets[design.control] = design.widget;
        m_layout.add(design.widget, design.twips, design.showsText);
    }
    // The panel's labels take no focus; the usable controls follow in this order.
    QWidget* order[] = {m_sourceLineEdit,
        m_browseSourceButton,
        m_destinationLineEdit,
        m_browseDestinationButton,
        m_intervalComboBox,
        m_moveRadioButton,
        m_copyRadioButton,
        m_overwriteCheckBox,
        m_showLogCheckBox,
        m_settingsButton,
        m_startStopButton,
        m_quitButton,
        m_logView};
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
    connect(m_sourceLineEdit, &QLineEdit::textChanged, this, changed(Control::SourceFolder));
    connect(m_destinationLineEdit, &QLineEdit::textChanged, this, changed(Control::DestinationFolder));
    // Set by the user or by the logic, a changed check box raises its click, as the logic expects.
    connect(m_showLogCheckBox, &QCheckBox::toggled, this, clicked(Control::ShowLog));
    connect(m_overwriteCheckBox, &QCheckBox::toggled, this, clicked(Control::Overwrite));
    for (const Control control :
        {Control::BrowseSource, Control::BrowseDestination, Control::Settings, Control::StartStop, Control::Quit}) {
        connect(static_cast<QPushButton*>(m_widgets[control]), &QPushButton::clicked, this, clicked(control));
    }
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_events) {
            m_events->timerTicked();
        }
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inCombo = [this](QWidget* w) {
            return w != nullptr && (w == m_intervalComboBox || m_intervalComboBox->isAncestorOf(w));
        };
        if (m_events && inCombo(old) && now != nullptr && !inCombo(now) && isAncestorOf(now)) {
            m_events->validate(Control::Interval);
        }
    });
}

} // namespace carrovex::qt
