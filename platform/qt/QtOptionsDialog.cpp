#include "platform/qt/QtOptionsDialog.h"

#include "platform/qt/QtText.h"
#include "platform/qt/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace carrovex::qt
{

namespace
{

constexpr int clientWidth = 3810;
constexpr int clientHeight = 3405;

} // namespace

QtOptionsDialog::QtOptionsDialog(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint)
    , m_panel(new QFrame(this))
    , m_languageLabel(new QLabel(m_panel))
    , m_languageComboBox(new QComboBox(m_panel))
    , m_saveOnCloseCheckBox(new QCheckBox(m_panel))
    , m_askBeforeSavingCheckBox(new QCheckBox(m_panel))
    , m_runOnStartCheckBox(new QCheckBox(m_panel))
    , m_sendToTrayCheckBox(new QCheckBox(m_panel))
    , m_anyDestinationDiskCheckBox(new QCheckBox(m_panel))
    , m_runOnArrivalCheckBox(new QCheckBox(m_panel))
    , m_keepBothCheckBox(new QCheckBox(m_panel))
    , m_aboutButton(new QPushButton(m_panel))
    , m_cancelButton(new QPushButton(m_panel))
    , m_saveButton(new QPushButton(m_panel))
{
    setModal(true);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_saveButton->setDefault(true);
    m_widgets = {{DialogControl::LanguageLabel, m_languageLabel},
        {DialogControl::Language, m_languageComboBox},
        {DialogControl::SaveOnClose, m_saveOnCloseCheckBox},
        {DialogControl::AskBeforeSaving, m_askBeforeSavingCheckBox},
        {DialogControl::RunOnStart, m_runOnStartCheckBox},
        {DialogControl::SendToTray, m_sendToTrayCheckBox},
        {DialogControl::AnyDestinationDisk, m_anyDestinationDiskCheckBox},
        {DialogControl::RunOnArrival, m_runOnArrivalCheckBox},
        {DialogControl::KeepBoth, m_keepBothCheckBox},
        {DialogControl::About, m_aboutButton},
        {DialogControl::Cancel, m_cancelButton},
        {DialogControl::Save, m_saveButton}};
    m_layout.add(m_panel, {30, -30, 3765, clientHeight}, false);
    m_layout.add(m_languageLabel, {120, 180, 3555, 225}, true);
    m_layout.add(m_languageComboBox, {120, 420, 3525, 315}, false);
    m_layout.add(m_saveOnCloseCheckBox, {120, 930, 3585, 195}, true);
    m_layout.add(m_askBeforeSavingCheckBox, {120, 1200, 3585, 195}, true);
    m_layout.add(m_runOnStartCheckBox, {120, 1470, 3585, 195}, true);
    m_layout.add(m_sendToTrayCheckBox, {120, 1740, 3585, 195}, true);
    m_layout.add(m_anyDestinationDiskCheckBox, {120, 2010, 3585, 195}, true);
    m_layout.add(m_runOnArrivalCheckBox, {120, 2280, 3585, 195}, true);
    m_layout.add(m_keepBothCheckBox, {120, 2550, 3585, 195}, true);
    m_layout.add(m_aboutButton, {120, 2940, 1095, 315}, true);
    m_layout.add(m_cancelButton, {1290, 2940, 1140, 315}, true);
    m_layout.add(m_saveButton, {2505, 2940, 1140, 315}, true);
    QWidget* order[] = {m_saveOnCloseCheckBox,
        m_askBeforeSavingCheckBox,
        m_runOnStartCheckBox,
        m_sendToTrayCheckBox,
        m_anyDestinationDiskCheckBox,
        m_runOnArrivalCheckBox,
        m_keepBothCheckBox,
        m_aboutButton,
        m_cancelButton,
        m_saveButton,
        m_languageComboBox};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    const auto clicked = [this](DialogControl control) {
        return [this, control] {
            if (m_events) {
                m_events->clicked(control);
            }
        };
    };
    connect(m_askBeforeSavingCheckBox, &QCheckBox::toggled, this, clicked(DialogControl::AskBeforeSaving));
    connect(m_aboutButton, &QPushButton::clicked, this, clicked(DialogControl::About));
    connect(m_saveButton, &QPushButton::clicked, this, clicked(DialogControl::Save));
    connect(m_cancelButton, &QPushButton::clicked, this, clicked(DialogControl::Cancel));
    relayout();
}

QtOptionsDialog::~QtOptionsDialog()
{
    m_events = nullptr; // the logic goes first; the widgets may still signal while they go
    m_logic.reset();
}

void QtOptionsDialog::setEvents(OptionsDialogEvents* events)
{
    m_events = events;
}

void QtOptionsDialog::adopt(std::unique_ptr<OptionsDialogEvents> logic)
{
    m_logic = std::move(logic);
    m_events = m_logic.get();
    m_logic->load();
}

QWidget* QtOptionsDialog::widget(DialogControl control) const
{
    return m_widgets.at(control);
}

void QtOptionsDialog::relayout()
{
    m_layout.apply();
    setFixedSize(m_layout.pixels(clientWidth), m_layout.pixels(clientHeight));
}

void QtOptionsDialog::setTitle(const std::string& title)
{
    setWindowTitle(toQt(title));
}

std::string QtOptionsDialog::text(DialogControl control) const
{
    return widgetText(m_widgets.at(control));
}

void QtOptionsDialog::setText(DialogControl control, const std::string& text)
{
    if (setWidgetText(m_widgets.at(control), text)) {
        relayout();
    }
}

int QtOptionsDialog::value(DialogControl control) const
{
    return widgetValue(m_widgets.at(control));
}

void QtOptionsDialog::setValue(DialogControl control, int value)
{
    setWidgetValue(m_widgets.at(control), value);
}

void QtOptionsDialog::setEnabled(DialogControl control, bool enabled)
{
    m_widgets.at(control)->setEnabled(enabled);
}

void QtOptionsDialog::addItem(DialogControl control, int position, const std::string& text)
{
    insertListItem(m_widgets.at(control), position, text);
}

void QtOptionsDialog::setFocus(DialogControl control)
{
    m_widgets.at(control)->setFocus(Qt::OtherFocusReason);
}

void QtOptionsDialog::showMessage(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Information, toQt(title), toQt(text), QMessageBox::Ok, this);
    box.exec();
}

void QtOptionsDialog::close()
{
    accept();
}

// The dialog takes the keys at once, without a click into it first.
void QtOptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    activateWindow();
}

void QtOptionsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace carrovex::qt
