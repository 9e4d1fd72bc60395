#include "platform/qt/LogAccessible.h"

#include "platform/qt/LogView.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

namespace carrovex::qt
{

namespace
{

// One line of the log, by its row; it reads the line when asked, so that it never shows an old text.
class LogLineAccessible final : public QAccessibleInterface
{
public:
    LogLineAccessible(LogView* view, int row)
        : m_view(view)
        , m_row(row)
    {
    }

    bool isValid() const override
    {
        return m_view != nullptr && m_row < m_view->count();
    }
    QObject* object() const override
    {
        return nullptr;
    }
    QWindow* window() const override
    {
        return m_view->window()->windowHandle();
    }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface* child(int) const override
    {
        return nullptr;
    }
    int childCount() const override
    {
        return 0;
    }
    int indexOfChild(const QAccessibleInterface*) const override
    {
        return -1;
    }
    QAccessibleInterface* childAt(int, int) const override
    {
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? m_view->line(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString&) override
    {
    }
    QRect rect() const override
    {
        const QRect row = m_view->rowRect(m_row);
        return QRect(m_view->viewport()->mapToGlobal(row.topLeft()), row.size());
    }
    QAccessible::Role role() const override
    {
        return QAccessible::ListItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = m_view->selected() == m_row;
        state.invisible = !m_view->viewport()->rect().intersects(m_view->rowRect(m_row));
        return state;
    }

private:
    QPointer<LogView> m_view;
    int m_row;
};

class LogAccessible final : public QAccessibleWidget
{
public:
    explicit LogAccessible(LogView* view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }
    LogAccessible(const LogAccessible&) = delete;
    LogAccessible& operator=(const LogAccessible&) = delete;

    ~LogAccessible() override
    {
        for (const auto& [row, id] : m_lines) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override
    {
        return view()->count();
    }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        if (const auto known = m_lines.find(index); known != m_lines.end()) {
            return QAccessible::accessibleInterface(known->second);
        }
        auto* line = new LogLineAccessible(view(), index);
        m_lines.emplace(index, QAccessible::registerAccessibleInterface(line));
        return line;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const auto& [row, id] : m_lines) {
            if (QAccessible::accessibleInterface(id) == child) {
                return row;
            }
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(view()->rowAt(view()->viewport()->mapFromGlobal(QPoint(x, y))));
    }

private:
    LogView* view() const
    {
        return static_cast<LogView*>(widget());
    }

    // Made as they are asked for: a reader that walks 100,000 lines pays for them, nobody else does.
    mutable std::map<int, QAccessible::Id> m_lines;
};

QAccessibleInterface* logAccessible(const QString&, QObject* object)
{
    auto* view = qobject_cast<LogView*>(object);
    return view != nullptr ? new LogAccessible(view) : nullptr;
}

} // namespace

void installLogAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(logAccessible);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace carrovex::qt
