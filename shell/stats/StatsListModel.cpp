#include "stats/StatsListModel.h"

#include <FormatSeconds.h>

#include <QLocale>

StatsListModel::StatsListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void StatsListModel::setRows(QList<StatsQuery::Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int StatsListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StatsListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant StatsListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const StatsQuery::Row &row = m_rows.at(index.row());
    if (role == Qt::ToolTipRole && index.column() == 4)
        return row.path;
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case 0:
        return row.caption;
    case 1:
        return QString::number(row.executions);
    case 2:
        return FormatSeconds(row.seconds);
    case 3:
        return row.lastExecuted.isValid() ? QLocale().toString(row.lastExecuted.date(), QLocale::ShortFormat)
                                          : QString();
    default:
        return row.path;
    }
}

QVariant StatsListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = {"Title", "Hits", "Time", "Last executed", "Path"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 4)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QLatin1String(titles[section]);
}
