// beeper as a real process, steered through the settings store as the shell
// steers it, watched through its tone log ("FREQ MS" per tone).
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <pthread.h>
#include <memory>
#include <unistd.h>

namespace {

const QString App = QStringLiteral("Brindle");
const QString Section = QStringLiteral("Beeper");

void setValue(const QString &key, const QString &value)
{
    QVERIFY(SettingsStore::SaveSetting(App, Section, key, value));
}

QString value(const QString &key)
{
    return SettingsStore::GetSetting(App, Section, key, QStringLiteral("<missing>"));
}

// A private program folder with its own copy of beeper, so its lock is its own.
class BeeperRig
{
public:
    BeeperRig()
    {
        QVERIFY(env.isValid());
        const QString built = TestEnv::builtProgramFolder() + QStringLiteral("beeper/beeper");
        QVERIFY2(QFile::exists(built), qPrintable(built));
        QVERIFY(QDir().mkpath(env.path(QStringLiteral("beeper"))));
        program = env.path(QStringLiteral("beeper/beeper"));
        QVERIFY(QFile::copy(built, program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        logPath = env.path(QStringLiteral("tones.log"));
        // The tones go to ALSA's null device: the real sound path runs, nobody hears it.
        alsaConfig = env.path(QStringLiteral("alsa.conf"));
        QVERIFY(writeFile(alsaConfig, "pcm.!default { type null }\n"));
        ready = true;
    }

    ~BeeperRig()
    {
        for (auto &p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

    QProcess *start()
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("BRINDLE_TONE_LOG"), logPath);
        e.insert(QStringLiteral("ALSA_CONFIG_PATH"), alsaConfig);
        p->setProcessEnvironment(e);
        p->setWorkingDirectory(env.path(QStringLiteral("beeper")));
        p->start(program, {});
        if (!p->waitForStarted(5000))
            return nullptr;
        processes.push_back(std::move(p));
        return processes.back().get();
    }

    QStringList lines() const { return readLines(logPath); }

    // Polls the log until it holds `count` lines; the time it got there, or -1.
    qint64 waitForLines(int count, int timeoutMs, const QElapsedTimer &clock) const
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            if (lines().size() >= count)
                return clock.elapsed();
            QTest::qWait(5);
        }
        return -1;
    }

    bool lockHeld() const
    {
        // The call the shell makes: program "beeper", the canonical program folder.
        return SingleInstance::isHeld(QStringLiteral("beeper"),
                                      QFileInfo(env.programFolder()).canonicalFilePath());
    }

    TestEnv env;
    QString program;
    QString logPath;
    QString alsaConfig;
    bool ready = false;
    std::vector<std::unique_ptr<QProcess>> processes;
};

// User and system time a process has used so far; -1 when unknown.
double cpuSeconds(qint64 pid)
{
    const QByteArray text = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return f.size() < 13 ? -1 : double(f.at(11).toLongLong() + f.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

QStringList repeat(const QStringList &pattern, int times)
{
    QStringList all;
    for (int i = 0; i < times; ++i)
        all += pattern;
    return all;
}

} // namespace

class TestBeeper : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data()
    {
        QTest::addColumn<QString>("beepType"); // "<none>": key absent
        QTest::addColumn<QStringList>("expected");

        const QStringList zero{"500 100", "1500 500"};
        const QStringList alternate{"800 100", "500 100"};
        QTest::newRow("0") << "0" << repeat(zero, 2);
        QTest::newRow("1") << "1" << repeat({"2000 200"}, 2);
        QTest::newRow("2 alternates 800 and 500") << "2" << repeat(alternate, 2);
        QTest::newRow("unknown 3 is silent") << "3" << QStringList();
        QTest::newRow("missing key is 0") << "<none>" << zero;
        QTest::newRow("non-numeric is 0") << "abc" << zero;
    }

    void patterns()
    {
        QFETCH(QString, beepType);
        QFETCH(QStringList, expected);

        BeeperRig rig;
        QVERIFY(rig.ready);
        if (beepType != QLatin1String("<none>"))
            setValue(QStringLiteral("BeepType"), beepType);
        setValue(QStringLiteral("Interval"), QStringLiteral("100"));
        QProcess *p = rig.start();
        QVERIFY(p);

        QElapsedTimer clock;
        clock.start();
        if (expected.isEmpty()) {
            // Silent patterns still tick: a second is several ticks, and Quit is still obeyed.
            QTest::qWait(1000);
            QVERIFY(rig.lines().isEmpty());
            setValue(QStringLiteral("Quit"), QStringLiteral("1"));
            QVERIFY(p->waitForFinished(2000));
            QCOMPARE(rig.lines(), QStringList());
        } else {
            QVERIFY(rig.waitForLines(int(expected.size()), 6000, clock) >= 0);
            QCOMPARE(rig.lines().mid(0, expected.size()), expected);
        }
        QCOMPARE(p->readAllStandardError(), QByteArray());
    }

    // A silent pattern with no interval would tick as fast as the loop turns.
    void noIntervalCannotSpin()
    {
        BeeperRig rig;
        QVERIFY(rig.ready);
        setValue(QStringLiteral("BeepType"), QStringLiteral("9"));
        setValue(QStringLiteral("Interval"), QStringLiteral("0"));
        QProcess *p = rig.start();
        QVERIFY(p);
        QTest::qWait(1500);
        QCOMPARE(p->state(), QProcess::Running);
        const double seconds = cpuSeconds(p->processId());
        QVERIFY2(seconds >= 0 && seconds < 0.3, qPrintable(QString::number(seconds)));

        setValue(QStringLiteral("Quit"), QStringLiteral("1")); // and it still ticks
        QVERIFY(p->waitForFinished(2000));
    }

    // Each new Interval applies from the tick that reads it: the tick already due
    // still comes after the old interval. Pattern 2 keeps alternating throughout.
    void intervalChangeTakesEffectAtNextTick()
    {
        struct Phase
        {
            const char *interval;
            qint64 gap;
        };
        const Phase phases[] = {{"often", 500}, {"1000", 1000}, {"200", 200}}; // non-numeric: 500

        BeeperRig rig;
        QVERIFY(rig.ready);
        setValue(QStringLiteral("BeepType"), QStringLiteral("2"));
        setValue(QStringLiteral("Interval"), QString::fromLatin1(phases[0].interval));
        QProcess *p = rig.start();
        QVERIFY(p);
        QElapsedTimer clock;
        clock.start();

        int seen = 1;
        qint64 last = rig.waitForLines(seen, 3000, clock);
        QVERIFY(last >= 0);
        qint64 previousGap = 0;
        for (const Phase &phase : phases) {
            if (previousGap) {
                setValue(QStringLiteral("Interval"), QString::fromLatin1(phase.interval));
                const qint64 t = rig.waitForLines(++seen, 3000, clock);
                QVERIFY2(t >= 0 && t - last < previousGap + 150, qPrintable(QString::number(t - last)));
                last = t;
            }
            for (int i = 0; i < 2; ++i) {
                const qint64 t = rig.waitForLines(++seen, 3000, clock);
                QVERIFY(t >= 0);
                QVERIFY2(std::abs(t - last - phase.gap) < std::max<qint64>(100, phase.gap / 7),
                         qPrintable(QStringLiteral("Interval %1: %2 ms").arg(phase.interval).arg(t - last)));
                last = t;
            }
            previousGap = phase.gap;
        }
        QCOMPARE(rig.lines().mid(0, 8), repeat({"800 100", "500 100"}, 4));
        QCOMPARE(p->state(), QProcess::Running);
    }

    void quitGivesOneMorePattern_data()
    {
        QTest::addColumn<QString>("beepType");
        QTest::addColumn<int>("patternLines");
        QTest::addColumn<bool>("quitBeforeStart");

        QTest::newRow("pattern 0") << "0" << 2 << false;
        QTest::newRow("pattern 1") << "1" << 1 << false;
        QTest::newRow("Quit already 1 at start") << "1" << 1 << true;
    }

    void quitGivesOneMorePattern()
    {
        QFETCH(QString, beepType);
        QFETCH(int, patternLines);
        QFETCH(bool, quitBeforeStart);

        BeeperRig rig;
        QVERIFY(rig.ready);
        setValue(QStringLiteral("BeepType"), beepType);
        setValue(QStringLiteral("Interval"), QStringLiteral("1000"));
        setValue(QStringLiteral("Quit"), quitBeforeStart ? QStringLiteral("1") : QStringLiteral("0"));
        QProcess *p = rig.start();
        QVERIFY(p);
        QElapsedTimer clock;
        clock.start();

        int before = 0;
        if (!quitBeforeStart) {
            QTRY_COMPARE_WITH_TIMEOUT(value(QStringLiteral("Running")), QStringLiteral("1"), 2000);
            QVERIFY(rig.waitForLines(patternLines, 3000, clock) >= 0);
            // Inside the pause between ticks: the pattern (at most 600 ms) is over,
            // the next tick is due 1000 ms after this one began.
            QTest::qWait(750);
            before = int(rig.lines().size());
            QCOMPARE(before, patternLines);
            setValue(QStringLiteral("Quit"), QStringLiteral("1"));
        }

        QVERIFY(p->waitForFinished(4000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(rig.lines().size(), before + patternLines);
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("0"));
        QVERIFY(!rig.lockHeld());
    }

    void secondCopyExitsAtOnce()
    {
        BeeperRig rig;
        QVERIFY(rig.ready);
        setValue(QStringLiteral("BeepType"), QStringLiteral("1"));
        setValue(QStringLiteral("Interval"), QStringLiteral("200"));
        QVERIFY(!rig.lockHeld());
        QProcess *first = rig.start();
        QVERIFY(first);
        QTRY_COMPARE_WITH_TIMEOUT(value(QStringLiteral("Running")), QStringLiteral("1"), 2000);
        QVERIFY(rig.lockHeld());

        setValue(QStringLiteral("Running"), QStringLiteral("marker")); // to see any write
        QElapsedTimer clock;
        clock.start();
        QProcess *second = rig.start();
        QVERIFY(second);
        QVERIFY(second->waitForFinished(3000));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardError(), QByteArray());
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("marker"));

        // The first goes on, taking new values.
        const qsizetype seen = rig.lines().size();
        setValue(QStringLiteral("BeepType"), QStringLiteral("2"));
        QVERIFY(rig.waitForLines(int(seen) + 3, 3000, clock) >= 0);
        QVERIFY(rig.lines().mid(seen).contains(QStringLiteral("800 100")));
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY(rig.lockHeld());
    }

    void terminationSignalClearsRunning_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("beepType");
        QTest::addColumn<QString>("parent"); // what the starting process did with the signal

        QTest::newRow("SIGTERM") << int(SIGTERM) << "2" << "";
        QTest::newRow("SIGTERM during a tone") << int(SIGTERM) << "0" << "";
        QTest::newRow("SIGTERM blocked by the parent") << int(SIGTERM) << "2" << "blocked";
        QTest::newRow("SIGHUP ignored by the parent") << int(SIGHUP) << "2" << "ignored";
    }

    void terminationSignalClearsRunning()
    {
        QFETCH(int, signalNumber);
        QFETCH(QString, beepType);
        QFETCH(QString, parent);

        BeeperRig rig;
        QVERIFY(rig.ready);
        setValue(QStringLiteral("BeepType"), beepType);

        // Blocked signals and ignored ones are inherited through exec.
        sigset_t only, saved;
        sigemptyset(&only);
        sigaddset(&only, signalNumber);
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        if (parent == QLatin1String("blocked"))
            pthread_sigmask(SIG_BLOCK, &only, &saved);
        if (parent == QLatin1String("ignored"))
            sigaction(signalNumber, &ignore, &previous);
        QProcess *p = rig.start();
        if (parent == QLatin1String("blocked"))
            pthread_sigmask(SIG_SETMASK, &saved, nullptr);
        if (parent == QLatin1String("ignored"))
            sigaction(signalNumber, &previous, nullptr);
        QVERIFY(p);

        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.waitForLines(1, 3000, clock) >= 0); // a tone is sounding now
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("1"));
        QCOMPARE(::kill(pid_t(p->processId()), signalNumber), 0);

        QVERIFY(p->waitForFinished(3000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
        QCOMPARE(value(QStringLiteral("Running")), QStringLiteral("0"));
        QVERIFY(!rig.lockHeld());
    }
};

QTEST_GUILESS_MAIN(TestBeeper)
#include "TestBeeper.moc"
