// The day's rules: the strict texts of times and hours, the end of the allowed hours and the daily start.
#include "playtime/DayRules.h"

#include <QtTest>

class TestDayRules : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minute"); // ParseTime; -1: none
        QTest::addColumn<QString>("hours"); // ParseHours as written back; empty: none
        QTest::newRow("a time") << "07:30" << 450 << "";
        QTest::newRow("one digit hour") << "7:30" << -1 << "";
        QTest::newRow("24:00 is no start") << "24:00" << -1 << "";
        QTest::newRow("hours") << "07:00-20:00" << -1 << "07:00-20:00";
        QTest::newRow("hours to midnight") << "08:00-24:00" << -1 << "08:00-24:00";
        QTest::newRow("overnight hours") << "20:00-07:00" << -1 << "";
    }

    void texts()
    {
        QFETCH(QString, text);
        QFETCH(int, minute);
        QFETCH(QString, hours);
        QCOMPARE(DayRules::ParseTime(text).value_or(-1), minute);
        const std::optional<DayRules::Hours> parsed = DayRules::ParseHours(text);
        QCOMPARE(parsed ? parsed->text() : QString(), hours);
    }

    void moments_data()
    {
        // 2024-03-05 is a Tuesday.
        QTest::addColumn<QString>("keys"); // KEY=VALUE;...
        QTest::addColumn<QString>("at");
        QTest::addColumn<qint64>("toClose"); // -1: no end within a week
        QTest::addColumn<QString>("nextClose");
        QTest::addColumn<QString>("lastStart");
        const QString tuesday = QStringLiteral("HoursTue=08:00-20:00;DailyStart=07:00");
        QTest::newRow("inside") << tuesday << "2024-03-05T19:59:10" << qint64(50) << "2024-03-05T20:00:00"
                                << "2024-03-05T07:00:00";
        QTest::newRow("at the end") << tuesday << "2024-03-05T20:00:00" << qint64(0) << "2024-03-12T00:00:00"
                                    << "2024-03-05T07:00:00";
        QTest::newRow("before the start, before the daily start")
            << tuesday << "2024-03-05T06:59:00" << qint64(0) << "2024-03-05T20:00:00" << "2024-03-04T07:00:00";
        QTest::newRow("on through midnight into a whole day")
            << "HoursMon=06:00-24:00;HoursWed=00:00-09:00" << "2024-03-04T23:00:00" << qint64(34 * 3600)
            << "2024-03-06T09:00:00" << "";
        QTest::newRow("whole days") << "HoursTue=bad" << "2024-03-05T12:00:00" << qint64(-1) << "" << "";
    }

    void moments()
    {
        QFETCH(QString, keys);
        QFETCH(QString, at);
        QFETCH(qint64, toClose);
        QFETCH(QString, nextClose);
        QFETCH(QString, lastStart);
        QHash<QString, QString> values;
        for (const QString &pair : keys.split(QLatin1Char(';')))
            values.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        const DayRules rules([&values](const QString &key) { return values.value(key); });
        const QDateTime moment = QDateTime::fromString(at, Qt::ISODate);
        QCOMPARE(rules.SecondsToClose(moment).value_or(-1), toClose);
        QCOMPARE(rules.NextClose(moment).value_or(QDateTime()).toString(Qt::ISODate), nextClose);
        QCOMPARE(rules.LastDailyStart(moment).value_or(QDateTime()).toString(Qt::ISODate), lastStart);
    }
};

QTEST_GUILESS_MAIN(TestDayRules)
#include "TestDayRules.moc"
