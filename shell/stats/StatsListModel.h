#pragma once

#include "stats/StatsQuery.h"

#include <QAbstractTableModel>

// The rows of the statistics viewer: "Title", "Hits", "Time", "Last
// executed", "Path". Texts are made only for the cells that are shown.
class StatsListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit StatsListModel(QObject *parent = nullptr);

    void setRows(QList<StatsQuery::Row> rows);
    const QList<StatsQuery::Row> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<StatsQuery::Row> m_rows;
};
