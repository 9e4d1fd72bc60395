#include "platform/qt/WidgetText.h"

#include "platform/qt/QtText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace carrovex::qt
{

std::string widgetText(const QWidget* widget)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return fromQt(edit->text());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return fromQt(combo->currentText());
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return fromQt(label->text());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return fromQt(button->text());
    }
    return {};
}

bool setWidgetText(QWidget* widget, const std::string& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(toQt(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) {
            combo->setEditText(toQt(text));
        } else {
            combo->setCurrentIndex(combo->findText(toQt(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(toQt(text));
        return true;
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(toQt(text));
        return true;
    }
    return false;
}

int widgetValue(const QWidget* widget)
{
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void setWidgetValue(QWidget* widget, int value)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setChecked(value != 0);
    }
}

void insertListItem(QWidget* widget, int position, const std::string& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QString current = combo->currentText();
        const int chosen = combo->currentIndex();
        combo->insertItem(position, toQt(text));
        if (combo->isEditable()) {
            combo->setEditText(current);
        } else if (chosen < 0) {
            combo->setCurrentIndex(-1); // a pick list does not choose its first entry by itself
        }
    }
}

} // namespace carrovex::qt
