#include "platform/qt/QtOptionsDialog.h"

#include "platform/qt/QtText.h"
#include "platform/qt/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace carrovex::qt
{

QtOptionsDialog::QtOptionsDialog(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint)
    , m_frame(new QFrame(this))
    , m_label1(new QLabel(m_frame))
    , m_combo1(new QComboBox(m_frame))
    , m_check1(new QCheckBox(m_frame))
    , m_check2(new QCheckBox(m_frame))
    , m_check3(new QCheckBox(m_frame))
    , m_cmdCancel(new QPushButton(m_frame))
    , m_cmdSave(new QPushButton(m_frame))
{
    setModal(true);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_cmdSave->setDefault(true);
    m_cmdCancel->setAutoDefault(false);
    m_widgets = {{DialogControl::Label1, m_label1},
        {DialogControl::Combo1, m_combo1},
        {DialogControl::Check1, m_check1},
        {DialogControl::Check2, m_check2},
        {DialogControl::Check3, m_check3},
        {DialogControl::cmdCancel, m_cmdCancel},
        {DialogControl::cmdSave, m_cmdSave}};
    m_layout.add(m_frame, {30, -30, 3765, 2325}, false);
    m_layout.add(m_label1, {120, 180, 3555, 225}, true);
    m_layout.add(m_combo1, {120, 420, 3525, 315}, false);
    m_layout.add(m_check1, {120, 930, 3585, 195}, true);
    m_layout.add(m_check2, {120, 1200, 3585, 195}, true);
    m_layout.add(m_check3, {120, 1470, 3585, 195}, true);
    m_layout.add(m_cmdCancel, {120, 1860, 1725, 315}, true);
    m_layout.add(m_cmdSave, {1920, 1860, 1695, 315}, true);
    QWidget* order[] = {m_check1, m_check2, m_check3, m_cmdCancel, m_cmdSave, m_combo1};
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
    connect(m_check2, &QCheckBox::toggled, this, clicked(DialogControl::Check2));
    connect(m_cmdSave, &QPushButton::clicked, this, clicked(DialogControl::cmdSave));
    connect(m_cmdCancel, &QPushButton::clicked, this, clicked(DialogControl::cmdCancel));
    relayout();
}

void QtOptionsDialog::setEvents(OptionsDialogEvents* events)
{
    m_events = events;
}

QWidget* QtOptionsDialog::widget(DialogControl control) const
{
    return m_widgets.at(control);
}

void QtOptionsDialog::relayout()
{
    m_layout.apply();
    setFixedSize(m_layout.pixels(3810), m_layout.pixels(2325));
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

void QtOptionsDialog::close()
{
    accept();
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
