// Supervision of the programs started from the menu, over fake button controls.
#include "LaunchWorld.h"

#include "programs/ProcessWatch.h"

#include <QtTest>

using modGlobals::SS;

class TestProcessWatch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<LaunchWorld>();
        m_nextPid = 300;
        QVERIFY(m_world->openStats());
        Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)));
        SS.ResponseTimeout = 0;
    }

    void cleanup() { m_world.reset(); }

    void endedProgramsAreDroppedAndCounted_data()
    {
        QTest::addColumn<bool>("oneProcess"); // the screen mode goes back only then
        QTest::newRow("one process") << true;
        QTest::newRow("any number") << false;
    }

    // Two programs from one button; each one's run time counts as it ends.
    void endedProgramsAreDroppedAndCounted()
    {
        QFETCH(bool, oneProcess);
        SS.OneProcessOnly = oneProcess ? VbTrue : VbFalse;
        m_world->addButton(QStringLiteral("Game"), QStringLiteral("/usr/games/x"));
        m_world->build();
        QVERIFY(!watch()->checkProcess->isActive()); // nothing to watch: no tick
        const platform::Pid first = run(0, 11);
        QVERIFY(watch()->checkProcess->isActive());
        Clock::advance(60);
        const platform::Pid second = run(0, 12);
        watch()->checkProcess_Timer();
        QCOMPARE(watch()->ButtonWatch[0].Processes.size(), 2);
        QCOMPARE(m_world->orgResCalls, 0);

        Clock::advance(30);
        m_world->processes->exit(first);
        watch()->checkProcess_Timer();
        QCOMPARE(watch()->ButtonWatch[0].Processes.size(), 1);
        QCOMPARE(watch()->ButtonWatch[0].Processes[0].ProcessId, second);
        QCOMPARE(SS.Buttons.at(0).StartTime, 0);
        QCOMPARE(pidOf(0), second);
        Clock::advance(10);
        m_world->processes->exit(second);
        watch()->checkProcess_Timer();
        QVERIFY(!watch()->checkProcess->isActive());
        // Cleared on the same tick; 90 s for the first, 40 s for the second.
        QCOMPARE(pidOf(0), platform::Pid(0));
        QCOMPARE(m_world->statsRows(), QStringList{QStringLiteral("/usr/games/x \"\"|2|130|Game")});
        QCOMPARE(m_world->orgResCalls, oneProcess ? 2 : 0);
    }

    void startupGrace_data()
    {
        QTest::addColumn<int>("secondsWithoutWindow");
        QTest::addColumn<bool>("hadWindow");
        QTest::newRow("30 s without a window") << 30 << false;
        QTest::newRow("window closed, program runs on") << 1 << true;
    }

    // A program without a window yet is kept while it starts up; after that, no
    // main window counts as ended.
    void startupGrace()
    {
        QFETCH(int, secondsWithoutWindow);
        QFETCH(bool, hadWindow);
        m_world->addButton(QStringLiteral("Slow"), QStringLiteral("/usr/games/x"));
        m_world->build();
        const platform::Pid pid = run(0);
        watch()->checkProcess_Timer();
        QCOMPARE(watch()->ButtonWatch[0].Processes.size(), 1);
        if (hadWindow) {
            m_world->windows->mainWindows.insert(pid, 12);
            watch()->checkProcess_Timer();
            watch()->checkProcess_Timer();
            m_world->windows->mainWindows.remove(pid);
        }
        // The first look at its window brought it to the front, once.
        QCOMPARE(m_world->windows->calls, hadWindow ? QStringList{QStringLiteral("focus %1").arg(pid)} : QStringList());
        Clock::advance(secondsWithoutWindow);
        watch()->checkProcess_Timer();
        QVERIFY(watch()->ButtonWatch[0].Processes.isEmpty());
        QCOMPARE(pidOf(0), platform::Pid(0));
    }

    void hangQuestion_data()
    {
        // The program's window does not answer; with a timeout of 0 nobody asks.
        QTest::addColumn<int>("timeout");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("ends");      // the process can be ended
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("watchedAfter");

        QTest::newRow("timeout 0: never asked") << 0 << "" << true << QStringList() << true;
        QTest::newRow("end") << 1 << "end" << true << QStringList() << true;
        QTest::newRow("end refused: dropped") << 1 << "end" << false << QStringList() << false;
        QTest::newRow("switch to") << 1 << "switch" << true << QStringList{"focus 300"} << true;
        QTest::newRow("cancel") << 1 << "cancel" << true << QStringList() << true;
    }

    void hangQuestion()
    {
        QFETCH(int, timeout);
        QFETCH(QString, choice);
        QFETCH(bool, ends);
        const bool asked = timeout > 0;
        QFETCH(QStringList, calls);
        QFETCH(bool, watchedAfter);
        m_world->addButton(QStringLiteral("Game"), QStringLiteral("/usr/games/x"));
        m_world->build();
        const platform::Pid pid = run(0, 11);
        QCOMPARE(pid, platform::Pid(300));
        watch()->checkProcess_Timer(); // its window has come
        SS.ResponseTimeout = timeout;
        m_world->windows->titles.insert(11, QStringLiteral("Super Game"));
        m_world->windows->hung.append(11);
        if (!ends)
            m_world->processes->refuseTerminate.append(pid);
        if (asked)
            m_world->prompts.script({choice});
        watch()->checkProcess_Timer(); // the ping goes out
        Clock::advance(timeout);
        QVERIFY(m_world->prompts.asked.isEmpty());
        m_world->windows->calls.clear();
        watch()->checkProcess_Timer();

        QCOMPARE(m_world->prompts.asked,
                 asked ? QStringList{QStringLiteral("hang:\"Super Game\" is not responding!|The application "
                                                    "\"Super Game\" is not responding. What do you want to do ?")}
                       : QStringList());
        QCOMPARE(m_world->windows->pinged.isEmpty(), timeout == 0);
        QCOMPARE(m_world->windows->calls, calls);
        QCOMPARE(m_world->processes->isRunning(pid), !(choice == QLatin1String("end") && ends));
        QCOMPARE(watch()->ButtonWatch[0].Processes.size(), watchedAfter ? 1 : 0);
        // An ended program goes at the next tick.
        m_world->windows->hung.clear();
        watch()->checkProcess_Timer();
        const bool stillWatched = watchedAfter && m_world->processes->isRunning(pid);
        QCOMPARE(watch()->ButtonWatch[0].Processes.size(), stillWatched ? 1 : 0);
        QCOMPARE(pidOf(0), stillWatched ? pid : 0);
    }

    // The question lets events run, this timer's too: those ticks wait.
    void tickDoesNotReenter()
    {
        SS.ResponseTimeout = 1;
        m_world->addButton(QStringLiteral("Game"), QStringLiteral("/usr/games/x"));
        m_world->build();
        run(0, 11);
        m_world->windows->hung.append(11);
        watch()->checkProcess_Timer();
        Clock::advance(1);
        m_world->prompts.whileAsking = [this] {
            watch()->checkProcess_Timer();
            // Meanwhile the menu is rebuilt: the asking tick must not trip over it.
            m_world->build();
        };
        watch()->checkProcess_Timer();
        QCOMPARE(m_world->prompts.asked.size(), 1);
        QCOMPARE(watch()->ButtonWatch.size(), 1);
        QVERIFY(watch()->ButtonWatch[0].Processes.isEmpty());
    }

private:
    // Starts a watched program from button index, with a main window.
    platform::Pid run(int index, platform::WindowId window = 0)
    {
        const platform::Pid pid = m_nextPid++;
        m_world->processes->setRunning(pid, true);
        if (window)
            m_world->windows->mainWindows.insert(pid, window);
        m_world->buttons.SetProcessId(index, pid);
        watch()->AddProcess(index);
        m_world->stats.AddExecution(SS.Buttons.at(index));
        return pid;
    }

    ProcessWatch *watch() const { return m_world->watch; }
    platform::Pid pidOf(int index) const { return m_world->buttons.ProcessId(index); }
    std::unique_ptr<LaunchWorld> m_world;
    platform::Pid m_nextPid = 300;
};

QTEST_GUILESS_MAIN(TestProcessWatch)
#include "TestProcessWatch.moc"
