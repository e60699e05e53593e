#pragma once

#include "CoreFixture.h"

#include <QDateTime>

namespace playtimetest {

inline const QList<Tone> ExpiryTones{{800, 100}, {2500, 200}, {2500, 200}, {800, 100}};
inline const QList<Tone> ResetTones{{2000, 50}, {1000, 50}, {2000, 50}};

// The core fixture with the clock fixed at t0 and the store sections of the
// play clock at hand.
class PlayTimeWorld : public CoreFixture
{
public:
    PlayTimeWorld() { Clock::setNow(t0); }

    static QString timeLimit(const QString &key) { return value(QStringLiteral("TimeLimit"), key); }
    static QString beeper(const QString &key) { return value(QStringLiteral("Beeper"), key); }
    static void setTimeLimit(const QString &key, const QString &text) { setValue(QStringLiteral("TimeLimit"), key, text); }
    static void setBeeper(const QString &key, const QString &text) { setValue(QStringLiteral("Beeper"), key, text); }

    // A period of `steps` five-minute steps that began at t0.
    void beginPeriod(const QString &steps)
    {
        setTimeLimit(QStringLiteral("PlayTime"), steps);
        setTimeLimit(QStringLiteral("LastInit"), SettingsStore::FormatDate(t0));
    }
    // The clock `remaining` seconds before the end of a period of `limit` seconds begun at t0.
    void moveTo(qint64 limit, qint64 remaining) const { Clock::setNow(t0.addSecs(limit - remaining)); }

    static QDateTime storedLastInit() { return SettingsStore::ParseDate(timeLimit(QStringLiteral("LastInit"))); }

    const QDateTime t0{QDate(2024, 3, 5), QTime(10, 0, 0)};
};

} // namespace playtimetest
