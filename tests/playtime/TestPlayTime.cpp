// The play clock: counting, warning through beeper, expiry and its action,
// pause, the typed commands, edit mode and the start-up check.
#include "PlayTimeWorld.h"

#include "playtime/PlayTime.h"

#include <AtomicFile.h>
#include <SingleInstance.h>

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace playtimetest;
using Action = PlayTime::StartupAction;

Q_DECLARE_METATYPE(PlayTime::StartupAction)

namespace {

const qint64 FiveMinutes = 300;

} // namespace

class TestPlayTime : public QObject
{
    Q_OBJECT

private slots:
    // Each test: a five-minute period begun at t0, and a clock over the fixture's prompts.
    void init()
    {
        m_world = std::make_unique<PlayTimeWorld>();
        m_world->beginPeriod(QStringLiteral("1"));
        m_clock = std::make_unique<PlayTime>(m_world->prompts);
        m_quits = std::make_unique<QSignalSpy>(m_clock.get(), &PlayTime::quitRequested);
    }

    void cleanup()
    {
        m_quits.reset();
        m_clock.reset();
        m_world.reset();
    }

    void countdown_data()
    {
        QTest::addColumn<QString>("warnTime");
        QTest::addColumn<int>("window"); // seconds before the end the warning starts
        QTest::newRow("WarnTime 9: 50 s") << "9" << 50;
        QTest::newRow("WarnTime 0: 5 s") << "0" << 5;
    }

    // PlayTime 1, ticking twice a second through the whole period: beeper
    // starts once, in its folder, with pattern 0, and plays pattern 1 from 11 s left.
    void countdown()
    {
        QFETCH(QString, warnTime);
        QFETCH(int, window);
        PlayTimeWorld::setTimeLimit(QStringLiteral("WarnTime"), warnTime);
        m_clock->PlaytimeTimer->start();

        QMap<qint64, QString> beepTypeAt;
        int startedAt = -1;
        for (qint64 ms = 0; ms <= FiveMinutes * 1000 && m_clock->PlaytimeTimer->isActive(); ms += 500) {
            Clock::setNow(m_world->t0.addMSecs(ms));
            m_clock->Tick();
            if (!m_world->processes->started.isEmpty() && startedAt < 0)
                startedAt = modGlobals::TimeLeftSeconds;
            beepTypeAt[modGlobals::TimeLeftSeconds] = PlayTimeWorld::beeper(QStringLiteral("BeepType"));
        }

        QCOMPARE(startedAt, window);
        QCOMPARE(m_world->processes->started.size(), 1);
        QCOMPARE(m_world->processes->started.first().program, m_world->env.path(QStringLiteral("beeper/beeper")));
        QCOMPARE(m_world->processes->started.first().workDir, m_world->env.path(QStringLiteral("beeper/")));
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Interval")), QStringLiteral("500"));
        QCOMPARE(beepTypeAt.value(window + 1), QString());
        QCOMPARE(beepTypeAt.value(qMin(window, 12)), window >= 12 ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(beepTypeAt.value(qMin(window, 11)), QStringLiteral("1"));
        QVERIFY(!m_clock->PlaytimeTimer->isActive());
    }

    // What another process wrote counts at the next tick, however soon.
    void tickSeesOtherProcesses()
    {
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, 300);
        const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
        QVERIFY(AtomicFile::write(store, readFile(store).replace("PlayTime=1", "PlayTime=2")));
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, 600);
    }

    void expiryAction_data()
    {
        QTest::addColumn<QString>("shutdown");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("powerAccepts");
        QTest::addColumn<int>("powerOffs");
        QTest::addColumn<int>("quits");

        QTest::newRow("0: quit") << "0" << "0" << false << true << 0 << 1;
        QTest::newRow("default: switch off") << QString() << QString() << false << true << 1 << 0;
        QTest::newRow("debug run quits instead") << "-1" << QString() << true << true << 0 << 1;
        QTest::newRow("Action 1: clock only stops") << "-1" << "1" << false << true << 0 << 0;
        QTest::newRow("switch-off refused: quit") << "-1" << QString() << false << false << 1 << 1;
    }

    void expiryAction()
    {
        QFETCH(QString, shutdown);
        QFETCH(QString, action);
        QFETCH(bool, debug);
        QFETCH(bool, powerAccepts);
        QFETCH(int, powerOffs);
        QFETCH(int, quits);

        if (!shutdown.isNull())
            PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), shutdown);
        if (!action.isNull())
            PlayTimeWorld::setTimeLimit(QStringLiteral("Action"), action);
        modGlobals::DebugMode = debug;
        m_world->power->accept = powerAccepts;
        m_clock->PlaytimeTimer->start();

        m_world->moveTo(FiveMinutes, 1);
        m_clock->Tick();
        QVERIFY(m_clock->PlaytimeTimer->isActive());
        QVERIFY(m_world->tones->isEmpty());

        m_world->moveTo(FiveMinutes, 0);
        m_clock->Tick();
        QVERIFY(!m_clock->PlaytimeTimer->isActive());
        QCOMPARE(*m_world->tones, ExpiryTones);
        QCOMPARE(m_world->power->powerOffs(), powerOffs);
        QCOMPARE(m_quits->count(), quits);
        QCOMPARE(modGlobals::TimeLeftSeconds, 0);
    }

    // Without a beeper program the warning is tried at every tick, quietly,
    // and the period expires all the same.
    void missingBeeper()
    {
        PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), QStringLiteral("0"));
        m_world->processes->failStarts = true;
        for (qint64 remaining : {30, 5, 0}) {
            m_world->moveTo(FiveMinutes, remaining);
            m_clock->Tick();
        }
        QCOMPARE(m_world->processes->started.size(), 3);
        QCOMPARE(m_quits->count(), 1);
    }

    // beeper is started in the warning unless it runs (a stale "Running" of a
    // killed one does not count); a late start plays the pattern of the time
    // left, "0" down to 12 s and "1" from 11 s, and a running one is switched.
    void beeperStart_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("lockHeld");
        QTest::addColumn<qint64>("remaining");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("type");

        QTest::newRow("stale 1 from a killed beeper") << "1" << false << qint64(40) << true << "0";
        QTest::newRow("running and holding its lock") << "1" << true << qint64(40) << false << "0";
        QTest::newRow("started late, 12 s left") << "0" << false << qint64(12) << true << "0";
        QTest::newRow("started late, 11 s left") << "0" << false << qint64(11) << true << "1";
    }

    void beeperStart()
    {
        QFETCH(QString, running);
        QFETCH(bool, lockHeld);
        QFETCH(qint64, remaining);
        QFETCH(bool, started);
        QFETCH(QString, type);

        PlayTimeWorld::setBeeper(QStringLiteral("Running"), running);
        PlayTimeWorld::setBeeper(QStringLiteral("BeepType"), QStringLiteral("0"));
        // The lock beeper itself would take for this program folder.
        SingleInstance lock(QStringLiteral("beeper"), m_world->env.programFolder());
        if (lockHeld)
            QVERIFY(lock.tryAcquire());
        QCOMPARE(m_clock->BeeperRunning(), !started);

        m_world->moveTo(FiveMinutes, remaining);
        m_clock->Tick();
        QCOMPARE(m_world->processes->started.size(), started ? 1 : 0);
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("BeepType")), type);

        m_world->processes->started.clear();
        m_world->moveTo(FiveMinutes, 10);
        m_clock->Tick();
        QCOMPARE(m_world->processes->started.size(), 0);
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("BeepType")), QStringLiteral("1"));
    }

    void brokenLastInit_data()
    {
        QTest::addColumn<QString>("lastInit"); // null: the key is removed; "future": an hour ahead
        QTest::addColumn<bool>("countedBefore");
        QTest::addColumn<qint64>("remainingAfter");

        QTest::newRow("garbage after counting") << "not a date" << true << qint64(200);
        QTest::newRow("garbage before anything was counted") << "not a date" << false << qint64(300);
        // The clock set back (or a limit lowered) gives no more than one period.
        QTest::newRow("start in the future") << "future" << true << qint64(300);
    }

    void brokenLastInit()
    {
        QFETCH(QString, lastInit);
        QFETCH(bool, countedBefore);
        QFETCH(qint64, remainingAfter);

        m_clock->PlaytimeTimer->start();
        if (countedBefore) {
            m_world->moveTo(FiveMinutes, 200);
            m_clock->Tick();
            QCOMPARE(modGlobals::TimeLeftSeconds, 200);
        }

        if (lastInit.isNull())
            QVERIFY(SettingsStore::DeleteSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"), QStringLiteral("LastInit")));
        else if (lastInit == QLatin1String("future"))
            PlayTimeWorld::setTimeLimit(QStringLiteral("LastInit"), SettingsStore::FormatDate(Clock::now().addSecs(3600)));
        else
            PlayTimeWorld::setTimeLimit(QStringLiteral("LastInit"), lastInit);
        Clock::advance(10);
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, qint32(remainingAfter));
        // Re-anchored, so that the time runs on from there.
        QCOMPARE(PlayTimeWorld::storedLastInit(), Clock::now().addSecs(remainingAfter - FiveMinutes));
        Clock::advance(5);
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, qint32(remainingAfter - 5));
    }

    void pauseKeepsRemainingTime()
    {
        // A beeper already runs (warning window): pausing starts it anyway.
        PlayTimeWorld::setBeeper(QStringLiteral("Running"), QStringLiteral("1"));
        SingleInstance lock(QStringLiteral("beeper"), m_world->env.programFolder());
        QVERIFY(lock.tryAcquire());
        m_world->moveTo(FiveMinutes, 40);
        m_clock->Tick();
        QCOMPARE(m_world->processes->started.size(), 0);

        m_clock->KeyTyped(QStringLiteral("<pause>"));
        QVERIFY(m_clock->ClockPaused());
        QCOMPARE(m_world->processes->started.size(), 1);
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("BeepType")), QStringLiteral("2"));

        Clock::advance(3600); // far past the end of the period
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, 40);
        QCOMPARE(m_quits->count(), 0);
        QCOMPARE(m_world->power->powerOffs(), 0);

        m_clock->KeyTyped(QStringLiteral("a"));
        QVERIFY(!m_clock->ClockPaused());
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Quit")), QStringLiteral("1"));
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, 40);
        Clock::advance(15);
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, 25);
    }

    void pauseKeySequences_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("beeperStarts");

        const QString p = QStringLiteral("<pause>");
        QTest::newRow("Pause pauses") << QStringList{p} << true << 1;
        QTest::newRow("second Pause only ends the pause") << QStringList{p, p} << false << 1;
        QTest::newRow("Pause again after a click ended it") << QStringList{p, "click", p} << true << 2;
        QTest::newRow("a key without text before Pause")
            << QStringList{QStringLiteral("<Key:Shift_L>"), p} << true << 1;
        QTest::newRow("other keys alone do nothing")
            << QStringList{QStringLiteral("a"), QStringLiteral("<space>")} << false << 0;
    }

    void pauseKeySequences()
    {
        QFETCH(QStringList, keys);
        QFETCH(bool, paused);
        QFETCH(int, beeperStarts);

        m_world->beginPeriod(QStringLiteral("2"));
        for (const QString &key : keys)
            key == QLatin1String("click") ? m_clock->PauseTimer(false) : m_clock->KeyTyped(key);
        QCOMPARE(m_clock->ClockPaused(), paused);
        QCOMPARE(m_world->processes->started.size(), beeperStarts);
    }

    void resetCommand_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed"); // one key per character
        QTest::addColumn<bool>("resets");

        QTest::newRow("lower case") << "secret" << "rtsecret" << true;
        QTest::newRow("stored with capitals, typed in lower case") << "SeCrEt" << "rtsecret" << true;
        QTest::newRow("typed with capitals") << "secret" << "rtSecret" << false;
        QTest::newRow("a wrong key in between") << "secret" << "rtsecxret" << false;
        QTest::newRow("no password stored: rt and more") << "" << "rtsecret" << false;
        QTest::newRow("only the install's key") << "install:SeCrEt" << "rtsecret" << true;
        QTest::newRow("only the install's key, typed with capitals") << "install:secret" << "rtSecret" << false;
    }

    void resetCommand()
    {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, resets);

        setPassword(password);
        m_world->moveTo(FiveMinutes, 100);
        m_clock->Tick();
        PlayTimeWorld::setBeeper(QStringLiteral("Quit"), QStringLiteral("0"));

        for (const QChar c : typed)
            m_clock->KeyTyped(c == QLatin1Char(' ') ? QStringLiteral("<space>") : QString(c));
        if (password.startsWith(QLatin1String("install:"))) {
            // Checked once typing pauses, not at every key.
            QVERIFY(m_world->tones->isEmpty());
            m_clock->TypedResetTimer->setInterval(0);
            QTRY_VERIFY(!m_clock->TypedResetTimer->isActive());
        }

        if (resets) {
            QCOMPARE(PlayTimeWorld::storedLastInit(), Clock::now());
            QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Quit")), QStringLiteral("1"));
            QCOMPARE(*m_world->tones, ResetTones);
            // The full match stays in the buffer until the next key empties it.
            m_clock->KeyTyped(QStringLiteral("t"));
            QCOMPARE(m_clock->TypedBuffer(), QString());
            QCOMPARE(m_world->tones->size(), ResetTones.size());
        } else {
            QCOMPARE(PlayTimeWorld::storedLastInit(), m_world->t0);
            QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Quit")), QStringLiteral("0"));
            QVERIFY(m_world->tones->isEmpty());
        }
        m_clock->Tick();
        QCOMPARE(modGlobals::TimeLeftSeconds, resets ? 300 : 100);
    }

    void startupCheck_data()
    {
        QTest::addColumn<QString>("playTime");
        QTest::addColumn<QString>("timeLeft"); // null: never stored
        QTest::addColumn<QString>("shutdown");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<qint32>("timeLeftAfter");
        QTest::addColumn<qint64>("lastInitOffset"); // from now; 1 means untouched

        const QString expired = QStringLiteral("frmMenu()::Time Expired, show expiry dialog. - Time left:");
        const QString shutdownLine = QStringLiteral("frmMenu()::Initialize Shutdown, time-out!");
        const QString quitLine = QStringLiteral("frmMenu()::Initialize Quit, time-out!");
        const QString reset = QStringLiteral("frmMenu()::Reset timer.");
        const QString bad = QStringLiteral("frmMenu()::Bad time-out password, asking again.");
        const QStringList none;

        QTest::newRow("no limit: no check") << "0" << "12" << QString() << QString() << none
                                            << Action::Continue << none << 12 << qint64(1);
        QTest::newRow("time left: period re-anchored")
            << "1" << "120" << QString() << QString() << none << Action::Continue
            << QStringList{QStringLiteral("frmMenu()::Save new timelimit.")} << 120 << qint64(-180);
        QTest::newRow("limit lowered while the shell was off caps what is left")
            << "1" << "3000" << QString() << QString() << none << Action::Continue
            << QStringList{QStringLiteral("frmMenu()::Save new timelimit.")} << 300 << qint64(0);
        QTest::newRow("inside the warning window: child shuts down, switch off")
            << "1" << "30" << QString() << "pw" << QStringList{QStringLiteral("shutdown")}
            << Action::StartShutdown << QStringList{expired + "30", shutdownLine} << 30 << qint64(1);
        QTest::newRow("at the threshold: child shuts down, quit")
            << "1" << "50" << "0" << "pw" << QStringList{QStringLiteral("shutdown")} << Action::StartUnload
            << QStringList{expired + "50", quitLine} << 50 << qint64(1);
        QTest::newRow("wrong, then right password in other case")
            << "1" << "0" << QString() << "Secret"
            << QStringList{QStringLiteral("enter:nope"), QStringLiteral("reset:SECRET")} << Action::Continue
            << QStringList{expired + "0", bad, expired + "0", reset} << 300 << qint64(0);
        QTest::newRow("empty answer refused while a password is set")
            << "1" << "-5" << "0" << "Secret"
            << QStringList{QStringLiteral("enter:"), QStringLiteral("shutdown")} << Action::StartUnload
            << QStringList{expired + "-5", bad, expired + "-5", quitLine} << -5 << qint64(1);
        QTest::newRow("shell quits while the dialog is up: not shown again")
            << "1" << "30" << QString() << "pw" << QStringList{QStringLiteral("quit")} << Action::StartUnload
            << QStringList{expired + "30"} << 30 << qint64(1);
        QTest::newRow("released from afar with only the install's key")
            << "1" << "0" << QString() << "install:pw" << QStringList{QStringLiteral("released")}
            << Action::Continue << QStringList{expired + "0", reset} << 300 << qint64(0);
    }

    void startupCheck()
    {
        QFETCH(QString, playTime);
        QFETCH(QString, timeLeft);
        QFETCH(QString, shutdown);
        QFETCH(QString, password);
        QFETCH(QStringList, answers);
        QFETCH(Action, action);
        QFETCH(QStringList, log);
        QFETCH(qint32, timeLeftAfter);
        QFETCH(qint64, lastInitOffset);

        const QString oldStart = QStringLiteral("2020-01-01T00:00:00");
        PlayTimeWorld::setTimeLimit(QStringLiteral("PlayTime"), playTime);
        PlayTimeWorld::setTimeLimit(QStringLiteral("LastInit"), oldStart);
        if (!timeLeft.isNull())
            PlayTimeWorld::setTimeLimit(QStringLiteral("TimeLeft"), timeLeft);
        if (!shutdown.isNull())
            PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), shutdown);
        setPassword(password);

        m_world->prompts.script(answers);
        QCOMPARE(m_clock->StartupCheck(), action);
        QCOMPARE(m_world->prompts.asked.size(), answers.size());
        QCOMPARE(m_world->prompts.unexpected, 0);
        QCOMPARE(m_world->logLines(), log);
        QCOMPARE(modGlobals::TimeLeftSeconds, timeLeftAfter);
        if (lastInitOffset == 1)
            QCOMPARE(PlayTimeWorld::timeLimit(QStringLiteral("LastInit")), oldStart);
        else
            QCOMPARE(PlayTimeWorld::storedLastInit(), Clock::now().addSecs(lastInitOffset));
        QVERIFY(!m_clock->PlaytimeTimer->isActive());
        QCOMPARE(m_world->power->powerOffs(), 0); // only the form's timers act on it
    }

    void editMode_data()
    {
        QTest::addColumn<QString>("playTime");
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("restarted");

        QTest::newRow("limit set, Yes restarts the period") << "1" << "Yes" << true;
        QTest::newRow("no limit: no question") << "0" << "" << false;
    }

    void editMode()
    {
        QFETCH(QString, playTime);
        QFETCH(QString, answer);
        QFETCH(bool, restarted);

        m_world->beginPeriod(playTime);
        m_clock->StartClock();
        m_clock->EditModeEntered();
        QVERIFY(!m_clock->PlaytimeTimer->isActive());

        Clock::advance(120); // editing takes a while
        if (!answer.isEmpty())
            m_world->dialogs->answer(answer);
        m_clock->EditModeLeaving();
        QVERIFY(m_clock->PlaytimeTimer->isActive());
        QCOMPARE(m_world->dialogs->shown().size(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(PlayTimeWorld::storedLastInit(), restarted ? Clock::now() : m_world->t0);
    }

private:
    // "install:PW": settings.dat holds none, the install's parent.ini the key of PW.
    static void setPassword(const QString &password)
    {
        if (password.startsWith(QLatin1String("install:")))
            modGlobals::Install.password = PasswordKey::make(password.mid(8));
        else
            modGlobals::SS.Password = password;
    }

    std::unique_ptr<PlayTimeWorld> m_world;
    std::unique_ptr<PlayTime> m_clock;
    std::unique_ptr<QSignalSpy> m_quits;
};

QTEST_GUILESS_MAIN(TestPlayTime)
#include "TestPlayTime.moc"
