// The warning with the real beeper program: started once, seen as running
// through its lock, and started again after it was killed with "Running"
// still at "1".
#include "PlayTimeWorld.h"

#include "playtime/PlayTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>

using namespace playtimetest;

namespace {

// Our own copy's processes, found by their program file; nothing else is touched.
QList<qint64> processesOf(const QString &program)
{
    QList<qint64> pids;
    const QString wanted = QFileInfo(program).canonicalFilePath();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).symLinkTarget();
        if (!exe.isEmpty() && exe == wanted)
            pids << pid;
    }
    return pids;
}

} // namespace

class TestPlayTimeBeeper : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void killedBeeperIsStartedAgain();

private:
    std::unique_ptr<PlayTimeWorld> m_world;
    QString m_program;
};

void TestPlayTimeBeeper::init()
{
    m_world = std::make_unique<PlayTimeWorld>();
    platform::Services::set(std::unique_ptr<platform::Processes>()); // the real one
    m_program = m_world->env.path(QStringLiteral("beeper/beeper"));
    QVERIFY(QDir().mkpath(m_world->env.path(QStringLiteral("beeper"))));
    QVERIFY(QFile::copy(TestEnv::builtProgramFolder() + QStringLiteral("beeper/beeper"), m_program));
    qputenv("BRINDLE_TONE_LOG", QFile::encodeName(m_world->env.path(QStringLiteral("tones.log"))));
}

void TestPlayTimeBeeper::cleanup()
{
    PlayTimeWorld::setBeeper(QStringLiteral("Quit"), QStringLiteral("1"));
    QTRY_VERIFY_WITH_TIMEOUT(processesOf(m_program).isEmpty(), 5000);
    for (qint64 pid : processesOf(m_program))
        ::kill(pid_t(pid), SIGKILL);
    qunsetenv("BRINDLE_TONE_LOG");
    m_world.reset();
}

void TestPlayTimeBeeper::killedBeeperIsStartedAgain()
{
    m_world->beginPeriod(QStringLiteral("1"));
    PlayTime clock;
    m_world->moveTo(300, 40);
    clock.Tick();
    QTRY_VERIFY_WITH_TIMEOUT(clock.BeeperRunning() && PlayTimeWorld::beeper(QStringLiteral("Running")) == QLatin1String("1"),
                             10000);
    for (qint64 remaining : {39, 38, 37}) {
        m_world->moveTo(300, remaining);
        clock.Tick();
        QTest::qWait(100);
    }
    QCOMPARE(processesOf(m_program).size(), 1);
    // A shell started later knows beeper only through the lock.
    QVERIFY(PlayTime().BeeperRunning());

    const QList<qint64> first = processesOf(m_program);
    QCOMPARE(::kill(pid_t(first.first()), SIGKILL), 0);
    QTRY_VERIFY(processesOf(m_program).isEmpty());
    QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Running")), QStringLiteral("1")); // left behind
    QVERIFY(!PlayTime().BeeperRunning());
    QTRY_VERIFY(!clock.BeeperRunning());

    m_world->moveTo(300, 20);
    clock.Tick();
    QTRY_VERIFY_WITH_TIMEOUT(clock.BeeperRunning() && processesOf(m_program).size() == 1, 10000);
    QVERIFY(processesOf(m_program) != first);

    // A reset stops it.
    clock.ResetTime();
    QTRY_VERIFY_WITH_TIMEOUT(processesOf(m_program).isEmpty(), 10000);
    QCOMPARE(PlayTimeWorld::beeper(QStringLiteral("Running")), QStringLiteral("0"));
}

QTEST_MAIN(TestPlayTimeBeeper)
#include "tst_playtimebeeper.moc"
