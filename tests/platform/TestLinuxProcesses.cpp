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

// A script that writes its folder and its arguments, one per line.
const QByteArray Recorder = "#!/bin/sh\n"
                            "{ echo \"cwd=$(pwd)\"; for a in \"$@\"; do echo \"[$a]\"; done; echo done; }"
                            " >> \"$BRINDLE_TEST_OUT\"\n";

} // namespace

class TestLinuxProcesses : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_oldPath = qgetenv("PATH"); }

    // The recorder in the test's folder (a blank in its name), and on PATH by
    // its own name and as a stand-in xdg-open.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("BRINDLE_TEST_OUT", QFile::encodeName(out()));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("bin")));
        for (const char *name : {"rec tool.sh", "bin/brindle-rec", "bin/xdg-open"})
            QVERIFY(writeFile(m_dir->filePath(QLatin1String(name)), Recorder, true));
        qputenv("PATH", QFile::encodeName(m_dir->filePath(QStringLiteral("bin"))) + ':' + m_oldPath);
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

        QTest::newRow("full path; quotes and non-ASCII")
            << "<dir>/rec tool.sh" << "\"two words\" \"\"\"hi\"\"\" Grüße" << QStringList{"[two words]", "[\"hi\"]", "[Grüße]"};
        QTest::newRow("relative to the current folder") << "./rec tool.sh" << "rel" << QStringList{"[rel]"};
        QTest::newRow("bare name on PATH") << "brindle-rec" << "p" << QStringList{"[p]"};
    }

    void start()
    {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(QStringList, expected);
        const QString work = m_dir->filePath(QStringLiteral("work dir"));
        QVERIFY(QDir().mkpath(work));

        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        const Pid pid = m_processes->start(program.replace(QStringLiteral("<dir>"), m_dir->path()), arguments, work);
        QDir::setCurrent(old);
        QVERIFY(pid > 0);
        QTRY_VERIFY(finished());
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
        QCOMPARE(m_processes->shellOpen(QString(), QString(), QString()), Pid(0));
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
        QTRY_VERIFY(finished());
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

    // Processes of someone else's: one running (and deaf to SIGTERM), and a
    // zombie its parent does not reap.
    void foreignProcesses()
    {
        // The child ends after the shell has become "sleep 30", which never reaps
        // it; one that ended sooner could be reaped by the shell.
        QProcess holder;
        holder.start(QStringLiteral("/bin/sh"),
                     {QStringLiteral("-c"), QStringLiteral("trap '' TERM; sleep 0.2 & echo $!; exec sleep 30")});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(5000));
        const Pid zombie = holder.readAll().trimmed().toLongLong();
        QVERIFY(zombie > 0);
        QTRY_COMPARE(processState(zombie), QByteArray("Z"));

        QVERIFY(m_processes->isRunning(holder.processId()));
        QVERIFY(!m_processes->isRunning(zombie));
        QVERIFY(m_processes->isRunning(1)); // init: running, and never one of ours

        const Pid gone = holder.processId();
        QVERIFY(m_processes->terminate(gone));
        QVERIFY(holder.waitForFinished(5000));
        QCOMPARE(holder.exitStatus(), QProcess::CrashExit);
        QTRY_VERIFY(!m_processes->isRunning(gone));
        QVERIFY(!m_processes->isRunning(0));
        QVERIFY(!m_processes->isRunning(-5));
    }

    void terminate()
    {
        // Our own child, a launcher script: ending it ends the game it started too.
        const QString script = m_dir->filePath(QStringLiteral("launch.sh"));
        QVERIFY(writeFile(script, "#!/bin/sh\nsleep 30 &\necho $! > \"$BRINDLE_TEST_OUT\"\nwait\n", true));
        const Pid own = m_processes->start(script, QString(), m_dir->path());
        QTRY_COMPARE(readLines(out()).size(), 1);
        const Pid game = readLines(out()).first().toLongLong();
        // 2^32 + its id would truncate to it (and 2^32 - 1 to -1, "every process").
        QVERIFY(!m_processes->isRunning((Pid(1) << 32) + own));
        QVERIFY(!m_processes->terminate((Pid(1) << 32) + own));
        QVERIFY(!m_processes->isRunning(Pid(0xFFFFFFFFLL)));
        QVERIFY(m_processes->isRunning(own));
        QVERIFY(m_processes->terminate(own));
        QTRY_VERIFY(!m_processes->isRunning(own));
        QCOMPARE(processState(own), QByteArray()); // reaped, not a zombie
        QVERIFY(!m_processes->terminate(own));
        QTRY_VERIFY(processState(game).isEmpty() || processState(game) == "Z");
        QVERIFY(!m_processes->terminate(0));
        QVERIFY(!m_processes->terminate(-1));
    }

    // A desktop entry runs its Exec line (REC: the recorder, WORK: a folder);
    // a document (FILE) or a link goes to xdg-open.
    void shellOpen_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QStringList>("expected"); // the arguments, or "cwd=" and the folder

        QTest::newRow("file codes dropped, other groups ignored")
            << "game.desktop" << QByteArray("[Desktop Action a]\nExec=/bin/false\n[Desktop Entry]\nExec=REC --flag %f %U\n"
                                            "[Other Group]\nExec=/bin/false\n")
            << QString() << QStringList{"[--flag]"};
        QTest::newRow("quoted with escapes")
            << "game.desktop" << QByteArray("[Desktop Entry]\nExec=" R"(REC "two words" "say \\"hi\\"" "back\\\\slash" 100%%)") << QString()
            << QStringList{"[two words]", "[say \"hi\"]", "[back\\slash]", "[100%]"};
        QTest::newRow("parameters take the file code")
            << "game.desktop" << QByteArray("[Desktop Entry]\nExec=REC --open %f --end\n") << "doc.txt"
            << QStringList{"[--open]", "[doc.txt]", "[--end]"};
        QTest::newRow("Path sets the folder")
            << "game.desktop" << QByteArray("[Desktop Entry]\nExec=REC\nPath=WORK\n") << QString()
            << QStringList{"cwd=WORK"};
        QTest::newRow("document") << "story.txt" << QByteArray("once upon a time\n") << "ignored" << QStringList{"[FILE]"};
        QTest::newRow("link") << "site.desktop" << QByteArray("[Desktop Entry]\nType=Link\nURL=https://example.org/a\\sb\n")
                              << QString() << QStringList{"[https://example.org/a b]"};
    }

    void shellOpen()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, parameters);
        QFETCH(QStringList, expected);
        const QString work = m_dir->filePath(QStringLiteral("entry work"));
        QVERIFY(QDir().mkpath(work));
        const QString path = m_dir->filePath(file);
        content.replace("REC", '"' + QFile::encodeName(m_dir->filePath(QStringLiteral("rec tool.sh"))) + '"');
        QVERIFY(writeFile(path, content.replace("WORK", QFile::encodeName(work))));
        const Pid pid = m_processes->shellOpen(path, parameters, m_dir->path());
        QVERIFY(pid > 0);
        QTRY_VERIFY(finished());
        const QStringList lines = readLines(out());
        const bool folder = expected.value(0).startsWith("cwd=");
        QCOMPARE(folder ? lines.mid(0, 1) : lines.mid(1, lines.size() - 2),
                 expected.replaceInStrings("WORK", work).replaceInStrings("FILE", path));
        // Opened programs are never asked about; they must still be reaped.
        QTRY_COMPARE(processState(pid), QByteArray());
    }

private:
    QString out() const { return m_dir->filePath(QStringLiteral("out.txt")); }
    // The recorder (or a script of a test) wrote its last line.
    bool finished() { return readLines(out()).contains(QStringLiteral("done")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::Processes> m_processes;
    QByteArray m_oldPath;
};

QTEST_GUILESS_MAIN(TestLinuxProcesses)
#include "TestLinuxProcesses.moc"
