#include "stats/StatsQuery.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace StatsQuery {
namespace {

const char *const viewColumns[] = {"Caption COLLATE NOCASE", "Executions", "Seconds", "LastExecuted",
                                   "Path COLLATE NOCASE"};
const char *const reportColumns[] = {"CAPTION COLLATE NOCASE", "EXECUTIONS", "SECONDS", "LASTEXECUTED",
                                     "PATH COLLATE NOCASE"};

bool validKey(int key)
{
    return key >= 0 && key <= 4;
}

QList<Row> read(const QSqlDatabase &db, const QString &statement)
{
    QList<Row> rows;
    if (!db.isOpen())
        return rows;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(statement))
        return rows;
    // Column names are matched without regard to letter case.
    const QSqlRecord record = query.record();
    const int caption = record.indexOf(QStringLiteral("Caption"));
    const int executions = record.indexOf(QStringLiteral("Executions"));
    const int seconds = record.indexOf(QStringLiteral("Seconds"));
    const int timeText = record.indexOf(QStringLiteral("TIMESTRING"));
    const int last = record.indexOf(QStringLiteral("LastExecuted"));
    const int path = record.indexOf(QStringLiteral("Path"));
    while (query.next()) {
        Row row;
        row.caption = query.value(caption).toString();
        row.executions = query.value(executions).toLongLong();
        row.seconds = query.value(seconds).toDouble();
        row.timeText = query.value(timeText).toString();
        row.lastExecuted = ParseLastExecuted(query.value(last).toString());
        row.path = query.value(path).toString();
        rows.append(row);
    }
    return rows;
}

} // namespace

QString OrderClause(int key, int order)
{
    if (!validKey(key))
        return QString();
    return QStringLiteral("ORDER BY ") + QLatin1String(viewColumns[key])
           + (order == 1 ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
}

QList<Row> Fetch(const QSqlDatabase &db, int key, int order)
{
    return read(db, QStringLiteral("SELECT * FROM TAB_STAT ") + OrderClause(key, order));
}

bool Clear(const QSqlDatabase &db)
{
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    return query.exec(QStringLiteral("DELETE FROM TAB_STAT"));
}

QString ReportSource(int key, int order)
{
    QString statement = QStringLiteral("SELECT * FROM TAB_STAT");
    if (validKey(key))
        statement += QStringLiteral(" ORDER BY ") + QLatin1String(reportColumns[key])
                     + (order == 1 ? QStringLiteral(" DESC") : QString());
    return statement + QLatin1Char(';');
}

QList<Row> FetchReport(const QSqlDatabase &db, int key, int order)
{
    return read(db, ReportSource(key, order));
}

QDateTime ParseLastExecuted(const QString &text)
{
    // The store's own form by position: a format string costs more than the
    // rest of a row, and a big table has many.
    const QStringView t(text);
    if (t.size() == 19 && t.at(4) == QLatin1Char('-') && t.at(10) == QLatin1Char(' ')) {
        const auto number = [t](int from, int length) { return t.mid(from, length).toInt(); };
        const QDateTime when(QDate(number(0, 4), number(5, 2), number(8, 2)),
                             QTime(number(11, 2), number(14, 2), number(17, 2)));
        if (when.isValid())
            return when;
    }
    return QDateTime::fromString(text, Qt::ISODate);
}

} // namespace StatsQuery
