#include "platform/qt/LogListModel.h"

namespace carrovex::qt
{

int LogListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant LogListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) {
        return {};
    }
    return m_lines[static_cast<std::size_t>(index.row())];
}

void LogListModel::append(const QString& line)
{
    if (m_lines.size() == capacity) {
        beginRemoveRows(QModelIndex(), 0, 0);
        m_lines.pop_front();
        endRemoveRows();
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_lines.push_back(line);
    endInsertRows();
}

void LogListModel::removeLast()
{
    if (m_lines.empty()) {
        return;
    }
    const int row = rowCount() - 1;
    beginRemoveRows(QModelIndex(), row, row);
    m_lines.pop_back();
    endRemoveRows();
}

QString LogListModel::line(int row) const
{
    return row >= 0 && row < rowCount() ? m_lines[static_cast<std::size_t>(row)] : QString();
}

} // namespace carrovex::qt
