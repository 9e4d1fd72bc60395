#include "platform/qt/LogView.h"

#include "platform/qt/LogAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace carrovex::qt
{

namespace
{

constexpr int textMargin = 3;

} // namespace

LogView::LogView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    installLogAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // a long line is elided; its tooltip shows it whole
    // A plain box of whole lines: the style's sunken frame lost three of its lines at a scale of 1.5, where
    // its half-pixel lines round away and the filled viewport covers the rest.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackgroundRole(QPalette::Base);
    setForegroundRole(QPalette::Mid); // the colour of the frame; the rows take the text colour themselves
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(false);
}

int LogView::rowHeight() const
{
    return fontMetrics().height() + 2;
}

int LogView::fullyVisibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

void LogView::scheduleRefresh()
{
    if (!m_refreshPending) {
        m_refreshPending = true;
        QMetaObject::invokeMethod(this, &LogView::refresh, Qt::QueuedConnection);
    }
}

void LogView::refresh()
{
    m_refreshPending = false;
    const int visible = fullyVisibleRows();
    const int lastFirstRow = std::max(0, count() - visible);
    m_firstRow = std::clamp(m_firstRow, 0, lastFirstRow);
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(visible);
    bar->setRange(0, lastFirstRow);
    bar->setValue(m_firstRow);
    viewport()->update();
}

void LogView::scrollContentsBy(int, int)
{
    m_firstRow = verticalScrollBar()->value();
    viewport()->update();
}

void LogView::append(const QString& line)
{
    if (m_lines.size() == capacity) {
        m_lines.pop_front(); // the oldest line makes room; the rows shown stay where they are
        m_selected = m_selected > 0 ? m_selected - 1 : -1;
        m_firstRow = std::max(0, m_firstRow - 1);
    }
    m_lines.push_back(line);
    scheduleRefresh();
}

void LogView::removeLast()
{
    if (m_lines.empty()) {
        return;
    }
    m_lines.pop_back();
    if (m_selected >= count()) {
        m_selected = -1;
    }
    scheduleRefresh();
}

int LogView::count() const
{
    return static_cast<int>(m_lines.size());
}

QString LogView::line(int row) const
{
    return row >= 0 && row < count() ? m_lines[static_cast<std::size_t>(row)] : QString();
}

void LogView::select(int row)
{
    m_selected = row >= 0 && row < count() ? row : -1;
    if (m_selected >= 0) {
        m_firstRow = std::clamp(m_firstRow, m_selected - fullyVisibleRows() + 1, m_selected);
    }
    scheduleRefresh();
}

int LogView::selected() const
{
    return m_selected;
}

int LogView::rowAt(QPoint point) const
{
    if (point.x() < 0 || point.x() >= viewport()->width() || point.y() < 0) {
        return -1;
    }
    const int row = m_firstRow + point.y() / rowHeight();
    return row < count() ? row : -1;
}

QRect LogView::rowRect(int row) const
{
    return QRect(0, (row - m_firstRow) * rowHeight(), viewport()->width(), rowHeight());
}

void LogView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = rowHeight();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const int first = m_firstRow;
    const int last = std::min(count(), first + viewport()->height() / height + 1);
    for (int row = first; row < last; ++row) {
        const QRect rect = rowRect(row);
        const bool isSelected = row == m_selected;
        if (isSelected) {
            painter.fillRect(rect, palette().brush(group, QPalette::Highlight));
        }
        painter.setPen(palette().color(group, isSelected ? QPalette::HighlightedText : QPalette::Text));
        const QRect textRect = rect.adjusted(textMargin, 0, -textMargin, 0);
        const QString text = fontMetrics().elidedText(line(row), Qt::ElideRight, textRect.width());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    scheduleRefresh();
}

void LogView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (const int row = rowAt(event->position().toPoint()); row >= 0) {
            select(row);
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void LogView::keyPressEvent(QKeyEvent* event)
{
    const int page = fullyVisibleRows();
    const int current = std::max(m_selected, 0);
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = current - 1;
        break;
    case Qt::Key_Down:
        target = m_selected < 0 ? 0 : current + 1;
        break;
    case Qt::Key_PageUp:
        target = current - page;
        break;
    case Qt::Key_PageDown:
        target = current + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (count() > 0) {
        select(std::clamp(target, 0, count() - 1));
    }
}

} // namespace carrovex::qt
