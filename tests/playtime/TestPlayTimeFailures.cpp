// The play clock on a failing machine: an end without the orderly quit gives
// back at most 15 s, a store that cannot be written, read or found does not
// stop the clock, and a beeper left over from a killed run is told to stop.
#include "FileEvents.h"
#include "PlayTimeWorld.h"

#include "playtime/PlayTime.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace playtimetest;

namespace {

// Every write of the process fails while this lives, as on a full disk; reads work.
class FullDisk
{
public:
    FullDisk()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit none = m_old;
        none.rlim_cur = 0;
        std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

// Ticks once a second until the clock expires or the time is up; the seconds it took.
int secondsToExpiry(PlayTime &clock, int atMost)
{
    for (int s = 0; s <= atMost; ++s) {
        clock.Tick();
        if (!clock.PlaytimeTimer->isActive())
            return s;
        Clock::advance(1);
    }
    return -1;
}

} // namespace

class TestPlayTimeFailures : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<PlayTimeWorld>();
        modGlobals::DebugMode = true; // expiry quits rather than switching off
        m_clock = std::make_unique<PlayTime>(m_world->prompts);
    }
    void cleanup()
    {
        m_clock.reset();
        m_world.reset();
    }

    void timeLeftIsStoredWhileCounting()
    {
        m_world->beginPeriod(QStringLiteral("1"));
        m_clock->StartClock();
        QStringList stored;
        for (int s = 0; s <= 31; ++s) {
            m_clock->Tick();
            stored << PlayTimeWorld::timeLimit(QStringLiteral("TimeLeft"));
            Clock::advance(1);
        }
        QCOMPARE(stored.first(), QString()); // not yet
        QCOMPARE(stored.at(15), QStringLiteral("285"));
        QCOMPARE(stored.at(30), QStringLiteral("270"));
        m_clock->PauseTimer(true);
        QCOMPARE(PlayTimeWorld::timeLimit(QStringLiteral("TimeLeft")), QStringLiteral("269"));
    }

    void storeThatCannotBeWritten()
    {
        // The store holds a fresh period, but the start with 55 s left cannot
        // be written into it: the clock must still end after 55 s.
        PlayTimeWorld::setTimeLimit(QStringLiteral("TimeLeft"), QStringLiteral("55"));
        m_world->beginPeriod(QStringLiteral("1"));
        const FullDisk full;
        QCOMPARE(m_clock->StartupCheck(), PlayTime::StartupAction::Continue);
        m_clock->StartClock();
        QCOMPARE(secondsToExpiry(*m_clock, 120), 55);
    }

    // Lost while the clock runs (deleted, or a folder in its place): counted
    // on from memory; a deleted one is written again, with what it held.
    void storeLostWhileCounting_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("deleted") << false;
        QTest::newRow("unreadable") << true;
    }

    void storeLostWhileCounting()
    {
        QFETCH(bool, unreadable);
        m_world->beginPeriod(QStringLiteral("1"));
        PlayTimeWorld::setTimeLimit(QStringLiteral("Shutdown"), QStringLiteral("0"));
        m_clock->StartClock();
        m_clock->Tick();
        Clock::advance(100);
        const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
        QVERIFY(QFile::remove(store));
        QVERIFY(!unreadable || QDir().mkpath(store));
        m_clock->Tick();
        if (!unreadable) {
            QCOMPARE(PlayTimeWorld::timeLimit(QStringLiteral("PlayTime")), QStringLiteral("1"));
            QCOMPARE(PlayTimeWorld::timeLimit(QStringLiteral("Shutdown")), QStringLiteral("0"));
        }
        QCOMPARE(secondsToExpiry(*m_clock, 400), 200);
    }

    // Missing at start: the install's limit applies, never a time left from it.
    void storeMissingAtStart()
    {
        modGlobals::Install.timeLimit = {{QStringLiteral("PlayTime"), "1"}, {QStringLiteral("TimeLeft"), "300"}};
        m_world->prompts.script({QStringLiteral("released")});
        QCOMPARE(m_clock->StartupCheck(), PlayTime::StartupAction::Continue);
        QCOMPARE(m_world->prompts.asked, QStringList{QStringLiteral("expired")});
        m_clock->StartClock();
        QCOMPARE(secondsToExpiry(*m_clock, 400), 300);
    }

    // What changes together is one write; a write that fails (a folder in
    // the store's place) is logged.
    void writesOfTheClock_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("fails");
        for (const char *action : {"pause", "resume", "reset", "beeper starts"}) {
            QTest::addRow("%s", action) << QString::fromLatin1(action) << false;
            QTest::addRow("%s, store unwritable", action) << QString::fromLatin1(action) << true;
        }
    }

    void writesOfTheClock()
    {
        QFETCH(QString, action);
        QFETCH(bool, fails);
        m_world->beginPeriod(QStringLiteral("1"));
        m_clock->StartClock();
        m_clock->Tick();
        if (action == QLatin1String("resume"))
            m_clock->PauseTimer(true);
        m_world->moveTo(300, 40); // in the warning
        const QString store = SettingsStore::filePath(QStringLiteral("Brindle"));
        FileEvents events(store);
        if (fails)
            QVERIFY(QFile::remove(store) && QDir().mkpath(store));
        if (action == QLatin1String("reset")) { // as the console's "/rt2"
            QCOMPARE(m_clock->ResetTime(QStringLiteral("2")), !fails);
            QCOMPARE(modGlobals::TimeLeftSeconds, fails ? 300 : 600);
        } else if (action != QLatin1String("beeper starts"))
            m_clock->PauseTimer(action == QLatin1String("pause"));
        else
            m_clock->Tick();
        QCOMPARE(events.rewrites(), fails ? 0 : 1);
        QCOMPARE(readFile(m_world->env.path(QStringLiteral("startup.log"))).contains("PlayTime()::Cannot"), fails);
    }

    void leftoverBeeperIsToldToStop()
    {
        PlayTimeWorld::setBeeper(QStringLiteral("Quit"), QStringLiteral("0"));
        m_clock->StartupCheck();
        QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Quit")), QStringLiteral("1"));
    }

private:
    std::unique_ptr<PlayTimeWorld> m_world;
    std::unique_ptr<PlayTime> m_clock;
};

QTEST_GUILESS_MAIN(TestPlayTimeFailures)
#include "TestPlayTimeFailures.moc"
