// beeper steered through the settings store as the shell steers it: the
// patterns and their timing in process over a recording tone sink, and the
// program itself for its single-instance lock and the termination signals.
#include "Beeper.h"

#include "SettingsStore.h"
#include "SingleInstance.h"
#include "TestEnv.h"
#include "Tones.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <optional>
#include <pthread.h>

namespace {

void setValue(const QString &key, const QString &value)
{
    QVERIFY(SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("Beeper"), key, value));
}

QString value(const QString &key)
{
    SettingsStore::Refresh(QStringLiteral("Brindle")); // beeper writes from its own process
    return SettingsStore::GetSetting(QStringLiteral("Brindle"), QStringLiteral("Beeper"), key,
                                     QStringLiteral("<missing>"));
}

// Every tone as "FREQ MS", and when it came.
class Recorder : public Tones::Sink
{
public:
    Recorder(QStringList *tones, QList<qint64> *at, const QElapsedTimer *clock)
        : m_tones(tones), m_at(at), m_clock(clock) {}
    void play(int frequency, int milliseconds) override
    {
        *m_tones << QStringLiteral("%1 %2").arg(frequency).arg(milliseconds);
        *m_at << m_clock->elapsed();
    }

private:
    QStringList *m_tones;
    QList<qint64> *m_at;
    const QElapsedTimer *m_clock;
};

} // namespace

class TestBeeper : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_tones.clear();
        m_at.clear();
        m_clock.start();
        Tones::setSink(std::make_unique<Recorder>(&m_tones, &m_at, &m_clock));
        m_folder = QFileInfo(m_env->programFolder()).canonicalFilePath();
        // Stands for the shell, whose lock keeps beeper going.
        m_shell.emplace(QStringLiteral("brindle"), m_folder);
        QVERIFY(m_shell->tryAcquire());
    }

    void cleanup()
    {
        Tones::setSink(nullptr);
        m_shell.reset();
        m_env.reset();
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("beepType");
        QTest::addColumn<bool>("quit"); // else the shell is killed and cannot say "Quit"
        QTest::addColumn<QStringList>("tones"); // the first tick's, then the one more tick after "Quit"
        QTest::newRow("0") << "0" << true << QStringList{"500 100", "1500 500", "500 100", "1500 500"};
        QTest::newRow("1") << "1" << true << QStringList{"2000 200", "2000 200"};
        QTest::newRow("2 alternates 800 and 500") << "2" << true << QStringList{"800 100", "500 100"};
        QTest::newRow("unknown 3 is silent") << "3" << true << QStringList();
        QTest::newRow("shell killed: no more tick") << "1" << false << QStringList{"2000 200"};
    }

    // "Quit" = "1" gives one more pattern, then "Running" goes back to "0";
    // without its shell beeper goes by itself.
    void patterns()
    {
        QFETCH(QString, beepType);
        QFETCH(bool, quit);
        QFETCH(QStringList, tones);
        setValue(QStringLiteral("BeepType"), beepType);
        setValue(QStringLiteral("Interval"), QStringLiteral("300"));
        Beeper beeper(m_folder);
        beeper.start();
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_tones.size(), quit ? tones.size() / 2 : tones.size(), 3000);
        if (quit)
            setValue(QStringLiteral("Quit"), QStringLiteral("1"));
        else
            m_shell.reset();
        QTRY_COMPARE_WITH_TIMEOUT(value(QStringLiteral("Running")), QStringLiteral("0"), 3000);
        QCOMPARE(m_tones, tones);
        QTest::qWait(400);
        QCOMPARE(m_tones.size(), tones.size());
    }

    // Each new interval applies from the tick that reads it; none below 50 ms,
    // and one that is no number is 500 ms.
    void interval_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("gap");
        QTest::newRow("0 would spin: 50") << "0" << 50;
        QTest::newRow("non-numeric: 500") << "often" << 500;
    }

    void interval()
    {
        QFETCH(QString, interval);
        QFETCH(int, gap);
        setValue(QStringLiteral("BeepType"), QStringLiteral("1"));
        setValue(QStringLiteral("Interval"), QStringLiteral("100"));
        Beeper beeper(m_folder);
        beeper.start();
        QTRY_VERIFY_WITH_TIMEOUT(m_tones.size() >= 2, 3000);
        setValue(QStringLiteral("Interval"), interval);
        const int seen = int(m_tones.size());
        QTRY_VERIFY_WITH_TIMEOUT(m_tones.size() >= seen + 3, 5000);
        // The tick already due still comes after 100 ms; the next ones after the new gap.
        const qint64 last = m_at.at(seen + 2) - m_at.at(seen + 1);
        QVERIFY2(qAbs(last - gap) <= qMax(40, gap / 5), qPrintable(QString::number(last)));
    }

    // The program: a second copy ends at once and writes nothing; a
    // termination signal ends the first in order, whatever the parent did
    // with the signal, and frees the lock.
    void programLockAndSignals_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("parent");
        QTest::newRow("SIGTERM blocked by the parent") << int(SIGTERM) << "blocked";
        QTest::newRow("SIGHUP ignored by the parent") << int(SIGHUP) << "ignored";
    }

    void programLockAndSignals()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, parent);
        // A copy of its own in this program folder, so the lock is this test's.
        const QString program = m_env->path(QStringLiteral("beeper/beeper"));
        QVERIFY(QDir().mkpath(m_env->path(QStringLiteral("beeper"))));
        QVERIFY(QFile::copy(TestEnv::builtProgramFolder() + QStringLiteral("beeper/beeper"), program));
        const QString folder = QFileInfo(m_env->programFolder()).canonicalFilePath();
        const QString alsa = m_env->path(QStringLiteral("alsa.conf"));
        QVERIFY(writeFile(alsa, "pcm.!default { type null }\n"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ALSA_CONFIG_PATH"), alsa);
        setValue(QStringLiteral("BeepType"), QStringLiteral("2"));
        setValue(QStringLiteral("Interval"), QStringLiteral("100"));

        // Blocked and ignored signals are inherited through exec.
        sigset_t only, saved;
        sigemptyset(&only);
        sigaddset(&only, signalNumber);
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        if (parent == QLatin1String("blocked"))
            pthread_sigmask(SIG_BLOCK, &only, &saved);
        if (parent == QLatin1String("ignored"))
            sigaction(signalNumber, &ignore, &previous);
        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(program, {});
        const bool started = first.waitForStarted(5000);
        if (parent == QLatin1String("blocked"))
            pthread_sigmask(SIG_SETMASK, &saved, nullptr);
        if (parent == QLatin1String("ignored"))
            sigaction(signalNumber, &previous, nullptr);
        QVERIFY(started);
        QTRY_COMPARE_WITH_TIMEOUT(value(QStringLiteral("Running")), QStringLiteral("1"), 3000);
        QVERIFY(SingleInstance::isHeld(QStringLiteral("beeper"), folder));

        setValue(QStringLiteral("Running"), QStringLiteral("marker")); // to see any write
        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(program, {});
        QVERIFY(second.waitForFinished(1500));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("marker"));
        QCOMPARE(first.state(), QProcess::Running);

        QCOMPARE(::kill(pid_t(first.processId()), signalNumber), 0);
        QVERIFY(first.waitForFinished(3000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("0"));
        QVERIFY(!SingleInstance::isHeld(QStringLiteral("beeper"), folder));
    }

private:
    std::unique_ptr<TestEnv> m_env;
    std::optional<SingleInstance> m_shell;
    QString m_folder;
    QStringList m_tones;
    QList<qint64> m_at;
    QElapsedTimer m_clock;
};

QTEST_GUILESS_MAIN(TestBeeper)
#include "TestBeeper.moc"
