#include "platform/qt/TwipsLayout.h"

#include "platform/common/TwipsScale.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace carrovex::qt
{

namespace
{

double displayScale()
{
    const QScreen* screen = QApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return dpi / 1440.0;
}

// The size the widget needs to show its text: a label or button its text (with a button's margins),
// a check box or option its indicator and text, a field one line of text.
QSize neededSize(const QWidget* widget)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return {metrics.horizontalAdvance(label->text()) + 2, metrics.height()};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        return {metrics.horizontalAdvance(text) + 12, metrics.height() + 6};
    }
    if (qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        return widget->sizeHint();
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QComboBox*>(widget) != nullptr) {
        return {0, metrics.height() + 6};
    }
    return {0, 0}; // panels and lists take the room they are given
}

} // namespace

void TwipsLayout::add(QWidget* widget, QRect twips, bool showsText)
{
    m_items.push_back({widget, twips, showsText});
}

void TwipsLayout::setTop(QWidget* widget, int twips)
{
    for (Item& item : m_items) {
        if (item.widget == widget) {
            item.twips.moveTop(twips);
        }
    }
}

void TwipsLayout::setHeight(QWidget* widget, int twips)
{
    for (Item& item : m_items) {
        if (item.widget == widget) {
            item.twips.setHeight(twips);
        }
    }
}

double TwipsLayout::apply()
{
    std::vector<ControlFit> fits;
    for (const Item& item : m_items) {
        const QSize needed = neededSize(item.widget);
        fits.push_back({item.twips.width(), item.twips.height(), needed.width(), needed.height(), item.showsText});
    }
    m_scale = twipsScale(displayScale(), fits);
    for (const Item& item : m_items) {
        const QRect& r = item.twips;
        item.widget->setGeometry(pixels(r.x()), pixels(r.y()), pixels(r.width()), pixels(r.height()));
    }
    return m_scale;
}

double TwipsLayout::scale() const
{
    return m_scale;
}

int TwipsLayout::pixels(int twips) const
{
    return static_cast<int>(std::lround(twips * m_scale));
}

QPoint firstPosition(const QRect& available, const QSize& outer)
{
    const QPoint centred = available.center() - QPoint(outer.width() / 2, outer.height() / 2);
    return {std::max(available.left(), centred.x()), std::max(available.top(), centred.y())};
}

} // namespace carrovex::qt
