#pragma once

#include "data/SettingsRecord.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// Usage statistics in table TAB_STAT of data/stats.db: one row per program
// key, counting starts, the last start and the total running time. The file
// and its table come with the program folder; this class never creates them.
// Every operation swallows its errors: without a database nothing is counted.
class StatsStore
{
public:
    explicit StatsStore(const QString &connectionName = QStringLiteral("stats"));
    ~StatsStore();
    StatsStore(const StatsStore &) = delete;
    StatsStore &operator=(const StatsStore &) = delete;

    // Opens an existing database file for reading and writing. False (with the
    // reason) when it is missing or cannot be opened.
    bool Open(const QString &file, QString *error = nullptr);
    void Close();
    bool IsOpen() const;
    // The open connection, shared with the statistics viewer.
    QSqlDatabase Database() const;
    QString ConnectionName() const { return m_name; }

    // Link, a blank, and the parameters between double quotes, as stored.
    static QString ProgramKey(const BUTTON &button);

    // One more start of the button's program (buttons with a link only).
    void AddExecution(const BUTTON &button);
    // Adds the running time of a program that started at started and has
    // just ended; kept for one-instance buttons that are not shell-executed.
    void UpdateSeconds(const BUTTON &button, const QDateTime &started);

private:
    // The row of the key, matched exactly but for letter case; 0 when none.
    qint64 findRow(const QString &key) const;

    QString m_name;
};
