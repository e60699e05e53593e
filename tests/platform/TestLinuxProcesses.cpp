// The Linux process service: starting, opening, watching and ending programs.
#include "TestEnv.h"
#include "platform/linux/LinuxServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using platform::Pid;

namespace {

// "Z" for a zombie, "" when the process is gone.
QByteArray processState(Pid pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 ? line.mid(close + 2, 1) : QByteArray();
}

} // namespace

class TestLinuxProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_oldPath = qgetenv("PATH"); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("BRINDLE_TEST_OUT", QFile::encodeName(out()));
        m_processes = platform::linuxsvc::createProcesses();
    }

    void cleanup()
    {
        m_processes.reset();
        qputenv("PATH", m_oldPath);
        m_dir.reset();
    }

    // The program by full path, relative to the current folder (the shell
    // changes to the program's folder; the child must not look for it again
    // from its work folder) and as a bare name on PATH.
    void start_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("expected");

        const QString full = QStringLiteral("<dir>/rec.sh");
        QTest::newRow("no arguments") << full << QString() << QStringList();
        QTest::newRow("quoted blank") << full << "\"two words\" x" << QStringList{"[two words]", "[x]"};
        QTest::newRow("literal quotes") << full << "\"\"\"hi\"\"\" x\"\"\"y" << QStringList{"[\"hi\"]", "[x\"y]"};
        QTest::newRow("non-ASCII") << full << "Grüße" << QStringList{"[Grüße]"};
        QTest::newRow("relative to the current folder") << "./rec.sh" << "rel" << QStringList{"[rel]"};
        QTest::newRow("bare name on PATH") << "brindle-rec" << "p" << QStringList{"[p]"};
    }

    void start()
    {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(QStringList, expected);
        recorder(QStringLiteral("rec.sh"));
        const QString bin = m_dir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::copy(m_dir->filePath(QStringLiteral("rec.sh")), bin + QStringLiteral("/brindle-rec")));
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_oldPath);
        const QString work = m_dir->filePath(QStringLiteral("work dir"));
        QVERIFY(QDir().mkpath(work));

        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        const Pid pid = m_processes->start(program.replace(QStringLiteral("<dir>"), m_dir->path()), arguments, work);
        QDir::setCurrent(old);
        QVERIFY(pid > 0);
        QVERIFY(waitForOutput());
        QCOMPARE(readLines(out()), QStringList{"cwd=" + work} + expected + QStringList{"done"});
        QTRY_VERIFY(!m_processes->isRunning(pid));
    }

    // A document is no program; neither is no name.
    void startRefuses()
    {
        const QString document = m_dir->filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeFile(document, "hello\n", false));
        for (const QString &path : {document, QString()}) {
            QCOMPARE(m_processes->start(path, QStringLiteral("x"), m_dir->path()), Pid(0));
            QVERIFY(!m_processes->runAndWait(path, QString(), m_dir->path()));
        }
    }

    void startedProgramGetsNoOpenDescriptorsOrIgnoredSignals()
    {
        // A descriptor of ours without close-on-exec, and an ignored signal.
        QFile lock(m_dir->filePath(QStringLiteral("held.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        constexpr int leaked = 100; // above whatever the script's shell opens itself
        QCOMPARE(::dup2(lock.handle(), leaked), leaked); // dup2() drops FD_CLOEXEC
        const auto oldHandler = std::signal(SIGUSR1, SIG_IGN);

        const QString script = m_dir->filePath(QStringLiteral("fds.sh"));
        QVERIFY(writeFile(script,
                          "#!/bin/sh\n"
                          "if [ -e /proc/$$/fd/$1 ]; then r=open; else r=closed; fi\n"
                          "{ echo $r; grep SigIgn /proc/$$/status; echo done; } > \"$BRINDLE_TEST_OUT\"\n",
                          true));
        const Pid pid = m_processes->start(script, QString::number(leaked), m_dir->path());
        ::close(leaked);
        std::signal(SIGUSR1, oldHandler);
        QVERIFY(pid > 0);
        QVERIFY(waitForOutput());
        const QStringList lines = readLines(out());
        QCOMPARE(lines.value(0), QStringLiteral("closed"));
        // Standard signals 1..31 (bits 0..30); the C library's own real-time
        // signals above them are its business.
        QVERIFY2(lines.value(1).startsWith(QLatin1String("SigIgn:")), qPrintable(lines.value(1)));
        bool ok = false;
        const qulonglong ignored = lines.value(1).mid(7).trimmed().toULongLong(&ok, 16);
        QVERIFY(ok);
        QCOMPARE(ignored & 0x7fffffffULL, 0ULL);
    }

    void runAndWaitBlocksUntilExit()
    {
        const QString script = m_dir->filePath(QStringLiteral("slow.sh"));
        QVERIFY(writeFile(script, "#!/bin/sh\nsleep 0.4\necho \"[$1]\" > \"$BRINDLE_TEST_OUT\"\necho $$ >> \"$BRINDLE_TEST_OUT\"\n",
                          true));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(m_processes->runAndWait(script, QStringLiteral("finished"), m_dir->path()));
        QVERIFY2(timer.elapsed() >= 380, qPrintable(QString::number(timer.elapsed())));
        // Done, and nothing of it is left, not even a zombie.
        QCOMPARE(readLines(out()).value(0), QStringLiteral("[finished]"));
        QCOMPARE(processState(readLines(out()).value(1).toLongLong()), QByteArray());
    }

    void unwatchedChildrenLeaveNoZombies()
    {
        // Opened programs are never asked about; they must still be reaped.
        const QString script = m_dir->filePath(QStringLiteral("quick.sh"));
        QVERIFY(writeFile(script, "#!/bin/sh\nexit 0\n", true));
        const Pid pid = m_processes->shellOpen(script, QString(), m_dir->path());
        QVERIFY(pid > 0);
        QTRY_COMPARE(processState(pid), QByteArray());
    }

    void isRunningForeignProcesses()
    {
        // A process of someone else's: running, then a zombie its parent does not reap.
        QProcess holder;
        holder.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"), QStringLiteral("sleep 0 & echo $!; exec sleep 30")});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(5000));
        const Pid zombie = holder.readAll().trimmed().toLongLong();
        QVERIFY(zombie > 0);
        QTRY_COMPARE(processState(zombie), QByteArray("Z"));

        QVERIFY(m_processes->isRunning(holder.processId()));
        QVERIFY(!m_processes->isRunning(zombie));
        QVERIFY(m_processes->isRunning(1)); // init: running, and never one of ours

        const Pid gone = holder.processId();
        holder.kill();
        holder.waitForFinished();
        QTRY_VERIFY(!m_processes->isRunning(gone));
        QVERIFY(!m_processes->isRunning(0));
        QVERIFY(!m_processes->isRunning(-5));
    }

    void terminate()
    {
        // Our own child; 2^32 + its id would truncate to it (and 2^32 - 1 to
        // -1, "every process").
        const Pid own = m_processes->start(QStringLiteral("/bin/sleep"), QStringLiteral("30"), QString());
        QVERIFY(own > 0);
        QVERIFY(!m_processes->isRunning((Pid(1) << 32) + own));
        QVERIFY(!m_processes->terminate((Pid(1) << 32) + own));
        QVERIFY(!m_processes->isRunning(Pid(0xFFFFFFFFLL)));
        QVERIFY(m_processes->isRunning(own));
        QVERIFY(m_processes->terminate(own));
        QTRY_VERIFY(!m_processes->isRunning(own));
        QCOMPARE(processState(own), QByteArray()); // reaped, not a zombie
        QVERIFY(!m_processes->isRunning(own)); // asked again: still ended
        QVERIFY(!m_processes->terminate(own));

        // A process we did not start, which even ignores SIGTERM.
        QProcess foreign;
        foreign.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("trap '' TERM; sleep 30")});
        QVERIFY(foreign.waitForStarted());
        QVERIFY(m_processes->terminate(foreign.processId()));
        QVERIFY(foreign.waitForFinished(5000));
        QCOMPARE(foreign.exitStatus(), QProcess::CrashExit);

        QVERIFY(!m_processes->terminate(0));
        QVERIFY(!m_processes->terminate(-1));
    }

    // Ending a launcher script ends the game it started too.
    void terminateEndsTheWholeGroup()
    {
        const QString script = m_dir->filePath(QStringLiteral("launch.sh"));
        QVERIFY(writeFile(script, "#!/bin/sh\nsleep 30 &\necho $! > \"$BRINDLE_TEST_OUT\"\nwait\n", true));
        const Pid pid = m_processes->start(script, QString(), m_dir->path());
        QTRY_COMPARE(readLines(out()).size(), 1);
        const Pid game = readLines(out()).first().toLongLong();
        QVERIFY(m_processes->terminate(pid));
        QTRY_VERIFY(processState(game).isEmpty() || processState(game) == "Z");
    }

    void shellOpenDesktopEntry_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("extra");      // more lines of the [Desktop Entry] group
        QTest::addColumn<QString>("parameters"); // given to shellOpen
        QTest::addColumn<QStringList>("expected"); // the arguments, or "cwd=" and the folder

        QTest::newRow("file codes dropped")
            << "REC --flag %f %U" << QString() << QString() << QStringList{"[--flag]"};
        QTest::newRow("quoted with escapes")
            << R"(REC "two words" "say \\"hi\\"" "back\\\\slash" 100%%)" << QString() << QString()
            << QStringList{"[two words]", "[say \"hi\"]", "[back\\slash]", "[100%]"};
        QTest::newRow("parameters take the file code")
            << "REC --open %f --end" << QString() << "doc.txt"
            << QStringList{"[--open]", "[doc.txt]", "[--end]"};
        QTest::newRow("Path sets the folder")
            << "REC" << "Path=WORK" << QString() << QStringList{"cwd=WORK"};
    }

    void shellOpenDesktopEntry()
    {
        QFETCH(QString, exec);
        QFETCH(QString, extra);
        QFETCH(QString, parameters);
        QFETCH(QStringList, expected);
        const QString program = recorder(QStringLiteral("rec tool.sh")); // a blank in its name
        const QString work = m_dir->filePath(QStringLiteral("entry work"));
        QVERIFY(QDir().mkpath(work));
        const QString desktop = m_dir->filePath(QStringLiteral("game.desktop"));
        const QString quotedProgram = QLatin1Char('"') + program + QLatin1Char('"');
        QVERIFY(writeFile(desktop,
                          ("[Desktop Action other]\nExec=/bin/false\n\n[Desktop Entry]\nType=Application\n"
                           "Exec=" + QString(exec).replace("REC", quotedProgram) + "\n"
                           + QString(extra).replace("WORK", work) + "\n[Other Group]\nExec=/bin/false\n")
                              .toUtf8(),
                          false));
        const Pid pid = m_processes->shellOpen(desktop, parameters, m_dir->path());
        QVERIFY(pid > 0);
        QVERIFY(waitForOutput());
        const QStringList lines = readLines(out());
        const bool folder = expected.value(0).startsWith("cwd=");
        QCOMPARE(folder ? lines.mid(0, 1) : lines.mid(1, lines.size() - 2),
                 expected.replaceInStrings("DESKTOP", desktop).replaceInStrings("WORK", work));
    }

    void shellOpenDocumentAndLinkUseXdgOpen()
    {
        // A stand-in xdg-open that records what it was asked to open.
        const QString bin = m_dir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::rename(recorder(QStringLiteral("rec.sh")), bin + QStringLiteral("/xdg-open")));
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_oldPath);

        const QString doc = m_dir->filePath(QStringLiteral("story.txt"));
        QVERIFY(writeFile(doc, "once upon a time\n", false));
        QVERIFY(m_processes->shellOpen(doc, QStringLiteral("ignored"), m_dir->path()) > 0);
        QVERIFY(waitForOutput());
        QCOMPARE(readLines(out()).mid(1), (QStringList{"[" + doc + "]", "done"}));

        QFile::remove(out());
        const QString link = m_dir->filePath(QStringLiteral("site.desktop"));
        QVERIFY(writeFile(link, "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org/a\\sb\n", false));
        QVERIFY(m_processes->shellOpen(link, QString(), m_dir->path()) > 0);
        QVERIFY(waitForOutput());
        QCOMPARE(readLines(out()).mid(1), (QStringList{"[https://example.org/a b]", "done"}));

        QCOMPARE(m_processes->shellOpen(QString(), QString(), QString()), Pid(0));
    }

private:
    // A script that writes its folder and its arguments, one per line.
    QString recorder(const QString &name)
    {
        const QString path = m_dir->filePath(name);
        writeFile(path,
                  "#!/bin/sh\n"
                  "{ echo \"cwd=$(pwd)\"; for a in \"$@\"; do echo \"[$a]\"; done; echo done; }"
                  " >> \"$BRINDLE_TEST_OUT\"\n",
                  true);
        return path;
    }

    QString out() const { return m_dir->filePath(QStringLiteral("out.txt")); }
    // Waits for the recorder's "done" line.
    bool waitForOutput(int ms = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            if (readLines(out()).contains(QStringLiteral("done")))
                return true;
            QTest::qWait(10);
        }
        return false;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::Processes> m_processes;
    QByteArray m_oldPath;
};

QTEST_GUILESS_MAIN(TestLinuxProcesses)
#include "TestLinuxProcesses.moc"
