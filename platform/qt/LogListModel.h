#pragma once

#include <QAbstractListModel>
#include <QString>
#include <deque>

namespace carrovex::qt
{

// The log's lines for a list view with uniform rows: appending, removing the last line and selecting stay
// fast however long the log is. It keeps the newest 100,000 lines.
class LogListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int capacity = 100'000;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void append(const QString& line);
    void removeLast();
    QString line(int row) const;

private:
    std::deque<QString> m_lines;
};

} // namespace carrovex::qt
