#include "LaunchWorld.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QtTest>

#include <sqlite3.h>

namespace {

BUTTON button(const QString &link, const QString &parameters = QString(), const QString &caption = QStringLiteral("C"))
{
    BUTTON b;
    b.Caption = caption;
    b.Link = link;
    b.Parameters = parameters;
    b.OneInstance = VbTrue;
    return b;
}

} // namespace

class TestStatsStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<LaunchWorld>();
        QVERIFY(m_world->openStats());
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 15)));
    }

    void cleanup() { m_world.reset(); }

    void firstStartMakesRow()
    {
        store().AddExecution(button(QStringLiteral("%apppath%game"), QStringLiteral("-x"), QStringLiteral("My %time%")));
        QCOMPARE(m_world->statsRows(), QStringList{QStringLiteral("%apppath%game \"-x\"|1|0|My %time%")});
        // A button without a link is never counted.
        store().AddExecution(button(QString()));
        QCOMPARE(m_world->statsRows().size(), 1);
    }

    void sameOrDifferentRow_data()
    {
        QTest::addColumn<QString>("link1");
        QTest::addColumn<QString>("link2");
        QTest::addColumn<QString>("params2");
        QTest::addColumn<bool>("same");

        QTest::newRow("apostrophe") << "/home/kid/Tom's game" << "/home/kid/Tom's game" << "" << true;
        QTest::newRow("letter case beyond ASCII") << "/spiele/Über" << "/spiele/über" << "" << true;
        QTest::newRow("percent is no wildcard") << "/g/50%" << "/g/5000" << "" << false;
        QTest::newRow("other parameters") << "/g/x" << "/g/x" << "-level 2" << false;
    }

    void sameOrDifferentRow()
    {
        QFETCH(QString, link1);
        QFETCH(QString, link2);
        QFETCH(QString, params2);
        QFETCH(bool, same);
        store().AddExecution(button(link1, QString(), QStringLiteral("Old")));
        Clock::advance(3600);
        store().AddExecution(button(link2, params2, QStringLiteral("New")));
        const QStringList rows = m_world->statsRows();
        QCOMPARE(rows.size(), same ? 1 : 2);
        if (same) {
            // Counted twice, under the key and caption of the latest start.
            QCOMPARE(rows.first(), QStringLiteral("%1 \"\"|2|0|New").arg(link2));
            QSqlQuery q(store().Database());
            QVERIFY(q.exec(QStringLiteral("SELECT LastExecuted FROM TAB_STAT")) && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("2024-03-05 15:30:15"));
        } else {
            QCOMPARE(rows.at(0).section(QLatin1Char('|'), 1, 1), QStringLiteral("1"));
            QCOMPARE(rows.at(1).section(QLatin1Char('|'), 1, 1), QStringLiteral("1"));
        }
    }

    void seconds_data()
    {
        QTest::addColumn<bool>("oneInstance"); // else the run time is not kept
        QTest::newRow("one instance") << true;
        QTest::newRow("more instances: not kept") << false;
    }

    void seconds()
    {
        QFETCH(bool, oneInstance);
        BUTTON b = button(QStringLiteral("/g/x"));
        b.OneInstance = oneInstance ? VbTrue : VbFalse;
        store().AddExecution(b);
        const QDateTime started = Clock::now();
        Clock::advance(3725);
        store().UpdateSeconds(b, started);
        store().UpdateSeconds(b, started.addSecs(3725 - 10)); // a second run of 10 s
        const double total = oneInstance ? 3725 + 10 : 0;
        QCOMPARE(m_world->statsRows().first().section(QLatin1Char('|'), 2, 2), QString::number(total));
        QSqlQuery q(store().Database());
        QVERIFY(q.exec(QStringLiteral("SELECT TIMESTRING FROM TAB_STAT")) && q.next());
        // 3735 s; the time text shows the whole seconds below the value.
        QCOMPARE(q.value(0).toString(), oneInstance ? QStringLiteral("01:02:14") : QString());

        // A run across midnight adds its true length; a program without a row adds nothing.
        Clock::setNow(QDateTime(QDate(2024, 3, 6), QTime(0, 0, 40)));
        store().UpdateSeconds(b, QDateTime(QDate(2024, 3, 5), QTime(23, 58, 10)));
        store().UpdateSeconds(button(QStringLiteral("/g/cleared")), started);
        QCOMPARE(m_world->statsRows(), QStringList{QStringLiteral("/g/x \"\"|1|%1|C").arg(oneInstance ? total + 150 : 0)});
    }

    // A start and an end read a few rows through the index, not the whole table.
    void lookUpsUseTheIndex()
    {
        QSqlQuery fill(store().Database());
        QVERIFY(fill.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                                         "INSERT INTO TAB_STAT (Path) SELECT '/g/' || i || ' \"\"' FROM n")));
        sqlite3 *db = *static_cast<sqlite3 *const *>(store().Database().driver()->handle().constData());
        int steps = 0; // in hundreds of SQLite instructions
        sqlite3_progress_handler(db, 100, [](void *n) { return ++*static_cast<int *>(n), 0; }, &steps);
        store().AddExecution(button(QStringLiteral("/G/777")));
        store().UpdateSeconds(button(QStringLiteral("/G/777")), Clock::now().addSecs(-5));
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
        QVERIFY2(steps < 20, qPrintable(QString::number(steps)));
    }

private:
    StatsStore &store() { return m_world->stats; }
    std::unique_ptr<LaunchWorld> m_world;
};

QTEST_GUILESS_MAIN(TestStatsStore)
#include "TestStatsStore.moc"
