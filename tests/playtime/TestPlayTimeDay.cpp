// A family's day on the play clock: the daily start, weekday limits, allowed
// hours, extra time and the lock, with the settable clock.
#include "PlayTimeWorld.h"

#include "playtime/PlayTime.h"

#include <QTimer>
#include <QtTest>

using namespace playtimetest;

class TestPlayTimeDay : public QObject
{
    Q_OBJECT

private slots:
    void day_data();
    void day();

private:
    void newClock();

    std::unique_ptr<PlayTimeWorld> m_world;
    std::unique_ptr<PlayTime> m_clock;
    QStringList m_events;
};

void TestPlayTimeDay::newClock()
{
    m_clock = std::make_unique<PlayTime>(m_world->prompts);
    const auto record = [this](const char *name) {
        return [this, name](auto value) { m_events << QStringLiteral("%1:%2").arg(QLatin1String(name)).arg(qint64(value)); };
    };
    connect(m_clock.get(), &PlayTime::countdownNotice, this, record("notice"));
    connect(m_clock.get(), &PlayTime::lastMinute, this, record("minute"));
    connect(m_clock.get(), &PlayTime::lockChanged, this, record("lock"));
    connect(m_clock.get(), &PlayTime::bedtime, this, record("bedtime"));
    connect(m_clock.get(), &PlayTime::releaseExpiredDialog, this, [this] { m_events << QStringLiteral("release"); });
    connect(m_clock.get(), &PlayTime::quitRequested, this, [this] { m_events << QStringLiteral("quit"); });
}

void TestPlayTimeDay::day_data()
{
    // Steps: KEY=VALUE sets the store ("?KEY=VALUE" checks it), +N moves the
    // clock N s on, zN sleeps N s, "tick", "script:ANSWER" for the
    // time-expired dialog, "daystart+N" moves the clock while it is up,
    // "start" (the start-up check, then the clock starts), "new" (the shell
    // again), "extra:N", "lock:1|0", "unlock:PW", "reset"; checks "left=N"
    // (TimeLeftSeconds), "secs=N" (SecondsLeft), "bedtime=0|1", "events=...",
    // "day=N" (DayTimer due in N s, "off": stopped); "resume" (a wake).
    // Tuesday 10:00, PlayTime 1 since then, password "pw".
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("a new period at the daily start, not at a restart")
        << QStringList{"DailyStart=07:00", "tick", "+300", "tick", "events=notice:0,minute:0,minute:-1,quit",
                       "+75600", "tick", "left=300", "?PeriodStart=2024-03-06T07:05:00", "+60", "tick", "new",
                       "start", "left=240", "events=start:0"};
    QTest::newRow("the daily start releases the open dialog")
        << QStringList{"DailyStart=10:01", "TimeLeft=0", "daystart+60", "script:released", "start", "left=300",
                       "events=bedtime:0,release,start:0"};
    QTest::newRow("released at the daily start before the allowed hours: asked again")
        << QStringList{"DailyStart=10:01", "HoursTue=10:02-20:00", "TimeLeft=400", "daystart+60",
                       "script:released", "script:quit", "start", "events=bedtime:1,release,bedtime:1,start:2"};
    QTest::newRow("weekday limits")
        << QStringList{"PlayTimeTue=2", "tick", "left=600", "PlayTimeTue=0", "tick", "secs=-1",
                       "PlayTimeTue=1.5", "tick", "left=300", "PlayTimeMon=0", "tick", "left=300"};
    QTest::newRow("the end of the allowed hours ends play")
        << QStringList{"PlayTime=4", "WarnTime=17", "HoursTue=08:00-10:05", "tick", "secs=300", "left=1200",
                       "+210", "tick", "events=notice:90", "+30", "tick", "events=notice:60,minute:60", "+1", "tick",
                       "events=minute:59", "+59", "tick", "events=minute:0,minute:-1,quit", "left=900", "bedtime=1"};
    QTest::newRow("no limit today, but the allowed hours end; no notice")
        << QStringList{"PlayTime=0", "Countdown=0", "HoursTue=08:00-10:01", "tick", "events=minute:60", "+10",
                       "tick", "events=minute:50", "+50", "tick", "events=minute:0,minute:-1,quit"};
    QTest::newRow("a wake from suspend after the daily start")
        << QStringList{"DailyStart=07:00", "tick", "+200", "tick", "left=100", "z75600", "tick", "left=300"};
    QTest::newRow("the day timer waits for the next daily start, set again by a wake or a tick")
        << QStringList{"PlayTime=0", "start", "day=off", "DailyStart=07:00", "tick", "day=75600", "z3600", "resume",
                       "day=72000", "z1800", "day=72000", "tick", "day=70200", "DailyStart=none", "tick", "day=off"};
    QTest::newRow("extra time moves the end of the period, the next period is plain")
        << QStringList{"+400", "tick", "left=-100", "extra:5", "left=300", "tick", "left=300", "+200", "tick",
                       "left=100", "extra:15", "left=1000", "+100", "tick", "extra:0", "extra:601",
                       "events=notice:0,minute:0,minute:-1,quit,refused,refused", "new", "start", "left=900",
                       "reset", "left=300", "?ExtraTime=0"};
    QTest::newRow("extra time lifts the end of the allowed hours")
        << QStringList{"PlayTime=4", "HoursTue=08:00-10:05", "tick", "secs=300", "extra:15", "tick", "secs=1200"};
    QTest::newRow("start-up outside the allowed hours: the password lets on")
        << QStringList{"HoursTue=11:00-20:00", "TimeLeft=200", "script:enter:nope", "script:enter:pw", "start",
                       "events=bedtime:1,bedtime:1,start:0", "tick", "secs=200", "left=200"};
    QTest::newRow("start-up outside the allowed hours: extra time")
        << QStringList{"HoursTue=11:00-20:00", "TimeLeft=0", "script:extra15:pw", "start", "left=900", "tick",
                       "secs=900", "left=900"};
    QTest::newRow("the lock stops the clock, also over a restart")
        << QStringList{"tick", "+50", "tick", "lock:1", "?Locked=1", "+100", "tick", "left=250", "new", "start",
                       "events=lock:1,start:0,lock:1", "+100", "tick", "left=250", "unlock:nope", "unlock:pw",
                       "events=wrong,lock:0", "+100", "tick", "left=150", "?Locked=0"};
}

void TestPlayTimeDay::day()
{
    QFETCH(QStringList, steps);
    m_world = std::make_unique<PlayTimeWorld>();
    m_world->beginPeriod(QStringLiteral("1"));
    PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), QStringLiteral("0")); // expiry quits
    modGlobals::SS.Password = QStringLiteral("pw");
    m_events.clear();
    newClock();
    for (const QString &step : steps) {
        const QString key = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        const QString arg = step.section(QLatin1Char(':'), 1);
        if (step == QLatin1String("tick"))
            m_clock->Tick();
        else if (step.startsWith(QLatin1Char('+')))
            Clock::advance(step.mid(1).toLongLong());
        else if (step.startsWith(QLatin1Char('z')))
            Clock::suspend(step.mid(1).toLongLong());
        else if (step.startsWith(QLatin1String("script:")))
            m_world->prompts.script({arg});
        else if (step.startsWith(QLatin1String("daystart+")))
            m_world->prompts.whileAsking = [this, s = step.mid(9).toLongLong()] {
                Clock::advance(s);
                m_clock->CheckDay();
                m_world->prompts.whileAsking = nullptr;
            };
        else if (step == QLatin1String("start")) {
            const PlayTime::StartupAction action = m_clock->StartupCheck();
            m_events << QStringLiteral("start:%1").arg(int(action));
            if (action == PlayTime::StartupAction::Continue)
                m_clock->StartClock();
        } else if (step == QLatin1String("new"))
            newClock();
        else if (step.startsWith(QLatin1String("extra:")) && !m_clock->AddExtraTime(arg.toInt()))
            m_events << QStringLiteral("refused");
        else if (step.startsWith(QLatin1String("lock:")))
            m_clock->Lock(arg == QLatin1String("1"));
        else if (step.startsWith(QLatin1String("unlock:")) && !m_clock->UnlockWithPassword(arg))
            m_events << QStringLiteral("wrong");
        else if (step == QLatin1String("reset"))
            m_clock->ResetTime();
        else if (step == QLatin1String("resume"))
            m_world->power->resume();
        else if (key == QLatin1String("day"))
            QCOMPARE(m_clock->DayTimer->isActive() ? QString::number((m_clock->DayTimer->remainingTime() + 500) / 1000)
                                                   : QStringLiteral("off"),
                     value);
        else if (key == QLatin1String("left"))
            QCOMPARE(modGlobals::TimeLeftSeconds, value.toInt());
        else if (key == QLatin1String("secs"))
            QCOMPARE(m_clock->SecondsLeft(), value.toLongLong());
        else if (key == QLatin1String("bedtime"))
            QCOMPARE(m_clock->AtBedtime(), value == QLatin1String("1"));
        else if (key == QLatin1String("events"))
            QCOMPARE(std::exchange(m_events, {}).join(QLatin1Char(',')), value);
        else if (key.startsWith(QLatin1Char('?')))
            QCOMPARE(PlayTimeWorld::timeLimit(key.mid(1)), value);
        else if (!value.isEmpty())
            PlayTimeWorld::setTimeLimit(key, value);
    }
    QCOMPARE(m_world->prompts.unexpected, 0);
    m_clock.reset();
    m_world.reset();
}

QTEST_GUILESS_MAIN(TestPlayTimeDay)
#include "TestPlayTimeDay.moc"
