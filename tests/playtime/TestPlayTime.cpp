// The play clock, with the settable clock: counting, warning through beeper,
// expiry and its action, pause, the typed commands, edit mode, the start-up
// check, a family's day (the daily start, weekday limits, allowed hours,
// extra time and the lock), and a failing machine: a store that cannot be
// written, read or found does not stop the clock.
#include "CoreFixture.h"
#include "FileTestKit.h"

#include "playtime/PlayTime.h"

#include <AtomicFile.h>
#include <SingleInstance.h>

#include <QDir>
#include <QTimer>
#include <QtTest>

#include <optional>

namespace {

const QList<Tone> ExpiryTones{{800, 100}, {2500, 200}, {2500, 200}, {800, 100}};
const QList<Tone> ResetTones{{2000, 50}, {1000, 50}, {2000, 50}};
const QDateTime T0{QDate(2024, 3, 5), QTime(10, 0, 0)};

} // namespace

class TestPlayTime : public QObject
{
    Q_OBJECT

private slots:
    void day_data();
    void day();

private:
    void newWorld();
    void newClock();

    std::unique_ptr<CoreFixture> m_world;
    std::unique_ptr<PlayTime> m_clock;
    QStringList m_events;
};

void TestPlayTime::day_data()
{
    // Steps: KEY=VALUE sets the store's TimeLimit (Beeper.KEY its Beeper) section, "?KEY=VALUE" checks it, "-KEY"
    // removes it; +N moves the clock N s on, zN sleeps N s, "tick", "clock" (StartClock), "check" (the start-up
    // check), "start" (the check, then the clock starts), "new" (the shell again), "script:ANSWER" for the
    // time-expired dialog, "daystart+N" moves the clock while it is up, "extra:N", "lock:1|0", "unlock:PW",
    // "reset[:N]" (N: as the console's "/rtN"), "resume" (a wake), "type:KEYS" (one key per character, or one
    // "<key>"), "typedwait" (typing pauses), "pause:1|0", "password:PW" ("install:PW": only the install's key),
    // "lockheld" (beeper runs), "nobeeper" (it cannot start), "debug", "refuse" (the switch-off), "edit",
    // "leave:ANSWER", "outside:OLD>NEW" (another process edits the store), "lose" (the store is deleted), "folder"
    // (a folder in its place), "fulldisk" (no write works), "installlimit" (the install's limit: PlayTime 1,
    // TimeLeft 300), "watch" (count the store's rewrites). Checks: "expires=N" (ticking each second, the clock
    // stops after N s), "rewrites=N", "logged=0|1" (a failed write is in the log), "left=N" (TimeLeftSeconds),
    // "secs=N" (SecondsLeft), "since=N" (the period began N s ago), "bedtime=0|1", "events=...", "quits=N",
    // "day=N" (DayTimer due in N s, "off": stopped), "timer=0|1", "paused=0|1", "started=N" (beeper starts, from
    // its folder), "tones=expiry|reset|none", "off=N" (switch-offs), "log=A|B", "asked=N", "dialogs=N",
    // "typed=TEXT". Tuesday 10:00, PlayTime 1 since then, Shutdown 0 (expiry quits), password "pw".
    QTest::addColumn<QStringList>("steps");
    const QString old = QStringLiteral("LastInit=2020-01-01T00:00:00");
    const QString expired = QStringLiteral("frmMenu()::Time Expired, show expiry dialog. - Time left:");
    const QString quitLine = QStringLiteral("|frmMenu()::Initialize Quit, time-out!");
    const QString bad = QStringLiteral("|frmMenu()::Bad time-out password, asking again.|");

    // Expiry, its action and beeper.
    QTest::newRow("expiry at the end, not before")
        << QStringList{"clock", "+299", "tick", "timer=1", "tones=none", "+1", "tick", "timer=0", "tones=expiry",
                       "off=0", "quits=1", "left=0"};
    QTest::newRow("Shutdown missing: switch off") << QStringList{"-Shutdown", "clock", "+300", "tick", "off=1", "quits=0"};
    QTest::newRow("a debug run quits instead") << QStringList{"Shutdown=-1", "debug", "clock", "+300", "tick", "off=0", "quits=1"};
    QTest::newRow("Action 1: the clock only stops")
        << QStringList{"Shutdown=-1", "Action=1", "clock", "+300", "tick", "timer=0", "off=0", "quits=0"};
    QTest::newRow("switch-off refused: quit") << QStringList{"Shutdown=-1", "refuse", "clock", "+300", "tick", "off=1", "quits=1"};
    QTest::newRow("without beeper the warning is tried at every tick, quietly")
        << QStringList{"nobeeper", "+270", "tick", "+25", "tick", "+5", "tick", "started=3", "quits=1"};
    // A stale "Running" of a killed beeper does not count; a running one is switched.
    QTest::newRow("stale Running=1: started 50 s before the end, pattern 1 from 11 s")
        << QStringList{"Beeper.Running=1", "+249", "tick", "started=0", "+1", "tick", "started=1",
                       "?Beeper.Interval=500", "?Beeper.BeepType=0", "+38", "tick", "?Beeper.BeepType=0", "+1",
                       "tick", "started=1", "?Beeper.BeepType=1"};
    QTest::newRow("WarnTime 0: 5 s") << QStringList{"WarnTime=0", "+294", "tick", "started=0", "+1", "tick", "started=1"};
    QTest::newRow("running and holding its lock: not started")
        << QStringList{"Beeper.Running=1", "Beeper.BeepType=0", "lockheld", "+260", "tick", "started=0",
                       "?Beeper.BeepType=0", "+30", "tick", "started=0", "?Beeper.BeepType=1"};
    QTest::newRow("started late, 12 s left: pattern 0") << QStringList{"+288", "tick", "started=1", "?Beeper.BeepType=0"};
    QTest::newRow("started late, 11 s left: pattern 1") << QStringList{"+289", "tick", "started=1", "?Beeper.BeepType=1"};
    QTest::newRow("what another process wrote counts at the next tick")
        << QStringList{"tick", "left=300", "outside:PlayTime=1>PlayTime=2", "tick", "left=600"};
    // A broken start of the period is re-anchored, so that the time runs on from there.
    QTest::newRow("garbage start after counting")
        << QStringList{"clock", "+100", "tick", "left=200", "LastInit=not a date", "+10", "tick", "left=200", "since=100",
                       "+5", "tick", "left=195"};
    QTest::newRow("garbage start before anything was counted")
        << QStringList{"clock", "LastInit=not a date", "+10", "tick", "left=300", "since=0", "+5", "tick", "left=295"};
    // The clock set back (or a limit lowered) gives no more than one period.
    QTest::newRow("a start in the future")
        << QStringList{"clock", "+100", "tick", "LastInit=2024-03-05T11:01:40", "+10", "tick", "left=300", "since=0"};

    // Pause and the typed commands.
    QTest::newRow("pause keeps the time left, starts beeper although one runs")
        << QStringList{"Beeper.Running=1", "lockheld", "+260", "tick", "started=0", "type:<pause>", "paused=1",
                       "started=1", "?Beeper.BeepType=2", "+3600", "tick", "left=40", "quits=0", "type:a", "paused=0",
                       "?Beeper.Quit=1", "tick", "left=40", "+15", "tick", "left=25"};
    QTest::newRow("a second Pause only ends the pause")
        << QStringList{"PlayTime=2", "type:<pause>", "type:<pause>", "paused=0", "started=1"};
    QTest::newRow("Pause again after a click ended it")
        << QStringList{"PlayTime=2", "type:<pause>", "pause:0", "type:<pause>", "paused=1", "started=2"};
    QTest::newRow("a key without text before Pause") << QStringList{"PlayTime=2", "type:<Key:Shift_L>", "type:<pause>", "paused=1"};
    QTest::newRow("other keys alone do nothing") << QStringList{"PlayTime=2", "type:a", "type:<space>", "paused=0", "started=0"};
    QTest::newRow("rt and the password resets")
        << QStringList{"password:secret", "+200", "tick", "Beeper.Quit=0", "type:rtsecret", "since=0", "?Beeper.Quit=1",
                       "tones=reset", "type:t", "typed=", "tones=reset", "tick", "left=300"};
    QTest::newRow("stored with capitals, typed in lower case")
        << QStringList{"password:SeCrEt", "+200", "tick", "type:rtsecret", "since=0"};
    QTest::newRow("typed with capitals")
        << QStringList{"password:secret", "+200", "tick", "Beeper.Quit=0", "type:rtSecret", "since=200",
                       "?Beeper.Quit=0", "tones=none", "tick", "left=100"};
    QTest::newRow("a wrong key in between") << QStringList{"password:secret", "+200", "tick", "type:rtsecxret", "since=200", "tones=none"};
    QTest::newRow("no password stored") << QStringList{"password:", "+200", "tick", "type:rtsecret", "since=200", "tones=none"};
    // Under the install's key alone it is checked once typing pauses, not at every key.
    QTest::newRow("only the install's key")
        << QStringList{"password:install:SeCrEt", "+200", "tick", "type:rtsecret", "tones=none", "typedwait", "since=0",
                       "tones=reset"};
    QTest::newRow("only the install's key, typed with capitals")
        << QStringList{"password:install:secret", "+200", "tick", "type:rtSecret", "typedwait", "since=200", "tones=none"};
    QTest::newRow("edit mode stops the clock; Yes restarts the period")
        << QStringList{"clock", "edit", "timer=0", "+120", "leave:Yes", "timer=1", "dialogs=1", "since=0"};
    QTest::newRow("edit mode without a limit: no question")
        << QStringList{"PlayTime=0", "clock", "edit", "+120", "leave:", "timer=1", "dialogs=0", "since=120"};

    // The start-up check; only the form's timers act on its result.
    QTest::newRow("no limit: no check")
        << QStringList{"PlayTime=0", old, "TimeLeft=12", "check", "events=start:0", "log=", "left=12", "?" + old};
    QTest::newRow("time left: the period re-anchored")
        << QStringList{old, "TimeLeft=120", "check", "events=start:0", "log=frmMenu()::Save new timelimit.",
                       "left=120", "since=180"};
    QTest::newRow("a limit lowered while the shell was off caps what is left")
        << QStringList{old, "TimeLeft=3000", "check", "left=300", "since=0"};
    QTest::newRow("inside the warning window: the child shuts down, switch off")
        << QStringList{"Shutdown=-1", old, "TimeLeft=30", "script:shutdown", "check", "events=bedtime:0,start:1",
                       "log=" + expired + "30|frmMenu()::Initialize Shutdown, time-out!", "left=30", "?" + old, "off=0"};
    QTest::newRow("at the threshold: the child shuts down, quit")
        << QStringList{old, "TimeLeft=50", "script:shutdown", "check", "events=bedtime:0,start:2",
                       "log=" + expired + "50" + quitLine, "left=50"};
    QTest::newRow("a wrong, then the right password in other case")
        << QStringList{"password:Secret", old, "TimeLeft=0", "script:enter:nope", "script:reset:SECRET", "check",
                       "events=bedtime:0,bedtime:0,start:0", "asked=2", "log=" + expired + "0" + bad + expired + "0|frmMenu()::Reset timer.", "left=300",
                       "since=0"};
    QTest::newRow("an empty answer refused while a password is set")
        << QStringList{"password:Secret", old, "TimeLeft=-5", "script:enter:", "script:shutdown", "check", "events=bedtime:0,bedtime:0,start:2",
                       "log=" + expired + "-5" + bad + expired + "-5" + quitLine, "left=-5"};
    QTest::newRow("the shell quits while the dialog is up: not shown again")
        << QStringList{"Shutdown=-1", old, "TimeLeft=30", "script:quit", "check", "events=bedtime:0,start:2", "asked=1", "log=" + expired + "30",
                       "?" + old};
    QTest::newRow("released from afar with only the install's key")
        << QStringList{"password:install:pw", old, "TimeLeft=0", "script:released", "check", "events=bedtime:0,start:0",
                       "log=" + expired + "0|frmMenu()::Reset timer.", "left=300", "since=0"};

    // A failing machine. What changes together is one write; a write that
    // fails is logged, and the clock counts on from memory.
    QTest::newRow("time left stored every 15 s, and at a pause")
        << QStringList{"clock", "tick", "+14", "tick", "?TimeLeft=", "+1", "tick", "?TimeLeft=285", "+15", "tick",
                       "?TimeLeft=270", "+1", "tick", "pause:1", "?TimeLeft=269"};
    QTest::newRow("a start that cannot be written still ends in time")
        << QStringList{"TimeLeft=55", "fulldisk", "check", "events=start:0", "clock", "expires=55"};
    QTest::newRow("store deleted while counting: written again")
        << QStringList{"clock", "tick", "+100", "lose", "tick", "?PlayTime=1", "?Shutdown=0", "expires=200"};
    QTest::newRow("store unreadable while counting") << QStringList{"clock", "tick", "+100", "folder", "tick", "expires=200"};
    QTest::newRow("store missing at start: the install's limit, never its time left")
        << QStringList{"lose", "installlimit", "script:released", "check", "asked=1", "clock", "expires=300"};
    QTest::newRow("a beeper left over is told to stop") << QStringList{"PlayTime=0", "Beeper.Quit=0", "check", "?Beeper.Quit=1"};
    for (const bool fails : {false, true}) {
        const QString folder = fails ? QStringLiteral("folder") : QStringLiteral("watch");
        const QString end = fails ? QStringLiteral("rewrites=0") : QStringLiteral("rewrites=1");
        const QString logged = fails ? QStringLiteral("logged=1") : QStringLiteral("logged=0");
        const char *how = fails ? "store unwritable" : "store written";
        const QStringList begin{"clock", "tick", "+260", "watch"};
        QTest::addRow("pause, %s", how) << begin + QStringList{folder, "pause:1", end, logged};
        QTest::addRow("resume, %s", how) << QStringList{"clock", "tick", "pause:1", "+260", "watch", folder, "pause:0", end, logged};
        QTest::addRow("beeper starts, %s", how) << begin + QStringList{folder, "tick", end, logged};
        QTest::addRow("reset, %s", how) << begin + QStringList{folder, "reset:2", fails ? "left=300" : "left=600", end, logged};
    }

    // A family's day.
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
    QTest::newRow("weekday limits; up to a day in whole steps")
        << QStringList{"PlayTimeTue=2", "tick", "left=600", "PlayTimeTue=0", "tick", "secs=-1", "PlayTimeTue=1.5",
                       "tick", "left=300", "PlayTimeTue=288", "tick", "left=86400", "PlayTimeTue=289", "tick",
                       "left=300", "PlayTimeMon=0", "tick", "left=300"};
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

void TestPlayTime::day()
{
    QFETCH(QStringList, steps);
    newWorld();
    modGlobals::SS.Password = QStringLiteral("pw");
    // The lock beeper itself would take for this program folder.
    SingleInstance beeperLock(QStringLiteral("beeper"), m_world->env.programFolder());
    const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
    std::optional<FileSizeLimit> fullDisk;
    std::optional<FileEvents> storeEvents;
    for (const QString &step : steps) {
        const QString key = step.section(QLatin1Char('='), 0, 0);
        const QString value = step.section(QLatin1Char('='), 1);
        const QString arg = step.section(QLatin1Char(':'), 1);
        const QString section = key.contains(QLatin1Char('.')) ? QStringLiteral("Beeper") : QStringLiteral("TimeLimit");
        const QString name = key.section(QLatin1Char('.'), -1).remove(QLatin1Char('?'));
        if (step == QLatin1String("tick"))
            m_clock->Tick();
        else if (step.startsWith(QLatin1Char('+')))
            Clock::advance(step.mid(1).toLongLong());
        else if (step.startsWith(QLatin1Char('z')))
            Clock::suspend(step.mid(1).toLongLong());
        else if (step.startsWith(QLatin1Char('-')))
            QVERIFY(SettingsStore::DeleteSetting(QStringLiteral("Brindle"), section, step.mid(1)));
        else if (step.startsWith(QLatin1String("script:")))
            m_world->prompts.script({arg});
        else if (step.startsWith(QLatin1String("daystart+")))
            m_world->prompts.whileAsking = [this, s = step.mid(9).toLongLong()] {
                Clock::advance(s);
                m_clock->CheckDay();
                m_world->prompts.whileAsking = nullptr;
            };
        else if (step == QLatin1String("clock"))
            m_clock->StartClock();
        else if (step == QLatin1String("start") || step == QLatin1String("check")) {
            const PlayTime::StartupAction action = m_clock->StartupCheck();
            m_events << QStringLiteral("start:%1").arg(int(action));
            if (step == QLatin1String("check"))
                QVERIFY(!m_clock->PlaytimeTimer->isActive());
            else if (action == PlayTime::StartupAction::Continue)
                m_clock->StartClock();
        } else if (step == QLatin1String("new"))
            newClock();
        else if (step.startsWith(QLatin1String("extra:")) && !m_clock->AddExtraTime(arg.toInt()))
            m_events << QStringLiteral("refused");
        else if (step.startsWith(QLatin1String("lock:")))
            m_clock->Lock(arg == QLatin1String("1"));
        else if (step.startsWith(QLatin1String("unlock:")) && !m_clock->UnlockWithPassword(arg))
            m_events << QStringLiteral("wrong");
        else if (step.startsWith(QLatin1String("reset")))
            QCOMPARE(m_clock->ResetTime(arg), !storeEvents || !QFileInfo(store).isDir());
        else if (step.startsWith(QLatin1String("pause:")))
            m_clock->PauseTimer(arg == QLatin1String("1"));
        else if (step == QLatin1String("lose") || step == QLatin1String("folder")) {
            QVERIFY(QFile::remove(store));
            QVERIFY(step == QLatin1String("lose") || QDir().mkpath(store));
        } else if (step == QLatin1String("fulldisk"))
            fullDisk.emplace(0);
        else if (step == QLatin1String("watch"))
            storeEvents.emplace(store);
        else if (step == QLatin1String("installlimit"))
            modGlobals::Install.timeLimit = {{QStringLiteral("PlayTime"), "1"}, {QStringLiteral("TimeLeft"), "300"}};
        else if (step == QLatin1String("resume"))
            m_world->power->resume();
        else if (step.startsWith(QLatin1String("type:")))
            for (const QString &typed : arg.startsWith(QLatin1Char('<')) ? QStringList{arg} : arg.split(QString(), Qt::SkipEmptyParts))
                m_clock->KeyTyped(typed);
        else if (step == QLatin1String("typedwait")) {
            m_clock->TypedResetTimer->setInterval(0);
            QTRY_VERIFY(!m_clock->TypedResetTimer->isActive());
        } else if (step.startsWith(QLatin1String("password:"))) {
            // "install:PW": settings.dat holds none, the install's parent.ini the key of PW.
            modGlobals::SS.Password = arg.startsWith(QLatin1String("install:")) ? QString() : arg;
            if (arg.startsWith(QLatin1String("install:")))
                modGlobals::Install.password = PasswordKey::make(arg.mid(8));
        } else if (step == QLatin1String("lockheld"))
            QVERIFY(beeperLock.tryAcquire());
        else if (step == QLatin1String("nobeeper"))
            m_world->processes->failStarts = true;
        else if (step == QLatin1String("debug"))
            modGlobals::DebugMode = true;
        else if (step == QLatin1String("refuse"))
            m_world->power->accept = false;
        else if (step == QLatin1String("edit"))
            m_clock->EditModeEntered();
        else if (step.startsWith(QLatin1String("leave:"))) {
            if (!arg.isEmpty())
                m_world->dialogs->answer(arg);
            m_clock->EditModeLeaving();
        } else if (step.startsWith(QLatin1String("outside:")))
            QVERIFY(AtomicFile::write(store, readFile(store).replace(arg.section(QLatin1Char('>'), 0, 0).toUtf8(), arg.section(QLatin1Char('>'), 1).toUtf8())));
        else if (key == QLatin1String("day"))
            QCOMPARE(m_clock->DayTimer->isActive() ? QString::number((m_clock->DayTimer->remainingTime() + 500) / 1000)
                                                   : QStringLiteral("off"),
                     value);
        else if (key == QLatin1String("expires")) {
            int seconds = 0;
            for (m_clock->Tick(); m_clock->PlaytimeTimer->isActive() && seconds <= 600; m_clock->Tick()) {
                Clock::advance(1);
                ++seconds;
            }
            QCOMPARE(seconds, value.toInt());
        } else if (key == QLatin1String("rewrites"))
            QCOMPARE(storeEvents->rewrites(), value.toInt());
        else if (key == QLatin1String("logged"))
            QCOMPARE(readFile(m_world->env.path(QStringLiteral("startup.log"))).contains("PlayTime()::Cannot"),
                     value == QLatin1String("1"));
        else if (key == QLatin1String("left"))
            QCOMPARE(modGlobals::TimeLeftSeconds, value.toInt());
        else if (key == QLatin1String("secs"))
            QCOMPARE(m_clock->SecondsLeft(), value.toLongLong());
        else if (key == QLatin1String("since"))
            QCOMPARE(SettingsStore::ParseDate(CoreFixture::value(QStringLiteral("TimeLimit"), QStringLiteral("LastInit"))),
                     Clock::now().addSecs(-value.toLongLong()));
        else if (key == QLatin1String("bedtime"))
            QCOMPARE(m_clock->AtBedtime(), value == QLatin1String("1"));
        else if (key == QLatin1String("events"))
            QCOMPARE(std::exchange(m_events, {}).join(QLatin1Char(',')), value);
        else if (key == QLatin1String("quits"))
            QCOMPARE(m_events.count(QStringLiteral("quit")), value.toInt());
        else if (key == QLatin1String("timer"))
            QCOMPARE(m_clock->PlaytimeTimer->isActive(), value == QLatin1String("1"));
        else if (key == QLatin1String("paused"))
            QCOMPARE(m_clock->ClockPaused(), value == QLatin1String("1"));
        else if (key == QLatin1String("started")) {
            QCOMPARE(m_world->processes->started.size(), value.toInt());
            for (const platform::FakeProcesses::Started &start : std::as_const(m_world->processes->started))
                QCOMPARE(start.program + '|' + start.workDir,
                         m_world->env.path("beeper/beeper|") + m_world->env.path("beeper/"));
        }
        else if (key == QLatin1String("tones"))
            QCOMPARE(*m_world->tones, value == QLatin1String("expiry") ? ExpiryTones
                                      : value == QLatin1String("reset") ? ResetTones : QList<Tone>());
        else if (key == QLatin1String("off"))
            QCOMPARE(m_world->power->powerOffs(), value.toInt());
        else if (key == QLatin1String("log"))
            QCOMPARE(m_world->env.logLines().join(QLatin1Char('|')), value);
        else if (key == QLatin1String("asked"))
            QCOMPARE(m_world->prompts.asked.size(), value.toInt());
        else if (key == QLatin1String("dialogs"))
            QCOMPARE(m_world->dialogs->shown().size(), value.toInt());
        else if (key == QLatin1String("typed"))
            QCOMPARE(m_clock->TypedBuffer(), value);
        else if (key.startsWith(QLatin1Char('?')))
            QCOMPARE(CoreFixture::value(section, name), value);
        else if (!value.isEmpty())
            CoreFixture::setValue(section, name, value);
    }
    QCOMPARE(m_world->prompts.unexpected, 0);
}

// A five-minute period begun at T0; what a failed row left behind goes first.
void TestPlayTime::newWorld()
{
    m_clock.reset();
    m_world.reset();
    m_world = std::make_unique<CoreFixture>();
    Clock::setNow(T0);
    CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("PlayTime"), QStringLiteral("1"));
    CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("LastInit"), SettingsStore::FormatDate(T0));
    CoreFixture::setValue(QStringLiteral("TimeLimit"), QStringLiteral("Shutdown"), QStringLiteral("0"));
    m_events.clear();
    newClock();
}

void TestPlayTime::newClock()
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

QTEST_GUILESS_MAIN(TestPlayTime)
#include "TestPlayTime.moc"
