#include "StatsStore.h"

#include <Clock.h>
#include <FormatSeconds.h>

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <algorithm>

StatsStore::StatsStore(const QString &connectionName)
    : m_name(connectionName)
{
}

StatsStore::~StatsStore()
{
    Close();
}

bool StatsStore::Open(const QString &file, QString *error)
{
    Close();
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // SQLite would make an empty file of a missing one.
    if (!QFileInfo(file).isFile())
        return fail(QStringLiteral("File not found: ") + file);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(m_name);
        return fail(QStringLiteral("The SQLite driver is not available"));
    }
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=500"));
    db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded)
                       + QStringLiteral("?mode=rw"));
    if (!db.open()) {
        const QString why = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        return fail(why);
    }
    // A start or an end is one small write. Waiting for the disk at each one
    // would hold the menu up for tens of milliseconds; with a write-ahead log
    // the file stays whole after a power cut, which can lose only the last counts.
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    return true;
}

void StatsStore::Close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool StatsStore::IsOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase StatsStore::Database() const
{
    return QSqlDatabase::database(m_name, false);
}

QString StatsStore::ProgramKey(const BUTTON &button)
{
    return button.Link + QStringLiteral(" \"") + button.Parameters + QLatin1Char('"');
}

qint64 StatsStore::findRow(const QString &key) const
{
    // The index on Path folds ASCII letters (NOCASE): it finds the key as
    // spelt or in other ASCII case, in a few steps however long the table.
    QSqlQuery query(Database());
    query.prepare(QStringLiteral("SELECT rowid FROM TAB_STAT WHERE Path = ? COLLATE NOCASE ORDER BY rowid LIMIT 1"));
    query.addBindValue(key);
    if (!query.exec())
        return 0;
    if (query.next())
        return query.value(0).toLongLong();
    const bool ascii = std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return 0;
    // Other letters SQLite does not fold: the rows of the same length are
    // compared here with every letter folded.
    query.prepare(QStringLiteral("SELECT rowid, Path FROM TAB_STAT WHERE length(Path) = ? ORDER BY rowid"));
    query.addBindValue(int(key.size()));
    if (!query.exec())
        return 0;
    while (query.next()) {
        if (query.value(1).toString().compare(key, Qt::CaseInsensitive) == 0)
            return query.value(0).toLongLong();
    }
    return 0;
}

void StatsStore::AddExecution(const BUTTON &button)
{
    if (button.Link.isEmpty() || !IsOpen())
        return;
    QSqlDatabase db = Database();
    const QString key = ProgramKey(button);
    db.transaction();
    qint64 row = findRow(key);
    if (row == 0) {
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO TAB_STAT (Caption, Path) VALUES (?, ?)"));
        insert.addBindValue(button.Caption);
        insert.addBindValue(key);
        if (!insert.exec()) {
            db.rollback();
            return;
        }
        row = insert.lastInsertId().toLongLong();
    }
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE TAB_STAT SET Caption = ?, Path = ?, "
                                  "Executions = COALESCE(Executions, 0) + 1, LastExecuted = ? WHERE rowid = ?"));
    update.addBindValue(button.Caption);
    update.addBindValue(key);
    update.addBindValue(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    update.addBindValue(row);
    if (update.exec())
        db.commit();
    else
        db.rollback();
}

void StatsStore::UpdateSeconds(const BUTTON &button, const QDateTime &started)
{
    if (button.Link.isEmpty() || button.OneInstance == 0 || button.UseShellExecute != 0 || !IsOpen())
        return;
    const qint64 row = findRow(ProgramKey(button));
    if (row == 0)
        return;
    // The true length, also across midnight; a clock set back counts nothing.
    const double ran = started.isValid() ? std::max(0.0, started.msecsTo(Clock::now()) / 1000.0) : 0.0;
    QSqlDatabase db = Database();
    QSqlQuery read(db);
    read.prepare(QStringLiteral("SELECT COALESCE(Seconds, 0) FROM TAB_STAT WHERE rowid = ?"));
    read.addBindValue(row);
    if (!read.exec() || !read.next())
        return;
    const double total = read.value(0).toDouble() + ran;
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE TAB_STAT SET Seconds = ?, TIMESTRING = ? WHERE rowid = ?"));
    update.addBindValue(total);
    update.addBindValue(FormatSeconds(total));
    update.addBindValue(row);
    update.exec();
}
