#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// What the statistics viewer and its report read from TAB_STAT, in the
// viewer's sort: key 0 title, 1 hits, 2 time, 3 last start, 4 path; order 0
// ascending, 1 descending.
namespace StatsQuery {

struct Row {
    QString caption;
    qint64 executions = 0;
    double seconds = 0;
    QString timeText;       // TIMESTRING as stored
    QDateTime lastExecuted; // invalid when never stored
    QString path;
};

// "ORDER BY <column> ASC|DESC"; empty for a key outside 0-4. Texts sort
// without regard to letter case.
QString OrderClause(int key, int order);
// The rows in that order; a failing read ends the list where it failed.
QList<Row> Fetch(const QSqlDatabase &db, int key, int order);
// Empties the table. False when the statement failed.
bool Clear(const QSqlDatabase &db);

// The report's statement, in the viewer's sort.
QString ReportSource(int key, int order);
QList<Row> FetchReport(const QSqlDatabase &db, int key, int order);

// A stored start time; the store writes "yyyy-MM-dd HH:mm:ss".
QDateTime ParseLastExecuted(const QString &text);

} // namespace StatsQuery
