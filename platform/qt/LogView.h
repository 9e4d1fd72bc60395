#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <deque>

namespace carrovex::qt
{

// The log's list: rows of one height, painted only where they are visible, so that appending, removing the
// last line and selecting cost the same for ten lines as for the 100,000 it keeps. (Qt's item views lay out
// every row again after each insertion, which made a long run's log the slowest part of the window.) The
// scroll bar and the painting catch up once when events next run, not at every change of a line.
class LogView final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int capacity = 100'000;

    explicit LogView(QWidget* parent);

    void append(const QString& line);
    void removeLast();
    int count() const;
    QString line(int row) const;
    // Selecting a row scrolls it into view; -1 selects none.
    void select(int row);
    int selected() const;
    // The row under a point of the viewport, or -1.
    int rowAt(QPoint point) const;
    // Where a row lies in the viewport; outside it when the row is scrolled away.
    QRect rowRect(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int rowHeight() const;
    int fullyVisibleRows() const;
    void scheduleRefresh();
    void refresh();

    std::deque<QString> m_lines;
    int m_selected = -1;
    int m_firstRow = 0; // the row at the top of the viewport
    bool m_refreshPending = false;
};

} // namespace carrovex::qt
