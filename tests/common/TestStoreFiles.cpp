#include "FileTestKit.h"
#include "TestEnv.h"

#include <AtomicFile.h>
#include <Clock.h>
#include <IniFile.h>
#include <SettingsStore.h>
#include <SingleInstance.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

class TestStoreFiles : public QObject
{
    Q_OBJECT

private slots:
    void iniReadsStandardSyntax_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray doc = "; comment\r\n[Settings]\r\nAllowPopup = 1 \r\nName=a=b\r\n\r\n[links]\nx=y\n";
        QTest::newRow("trimmed value") << doc << "settings" << "allowpopup" << "1";
        QTest::newRow("value with equals sign") << doc << "Settings" << "Name" << "a=b";
        QTest::newRow("missing key gives default") << doc << "Settings" << "Nope" << "dflt";
        QTest::newRow("comment is no key") << doc << "" << "; comment" << "dflt";
    }

    void iniReadsStandardSyntax()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        IniFile ini(QString(), IniFile::Encoding::Cp1252);
        ini.parse(content);
        QCOMPARE(ini.value(section, key, QStringLiteral("dflt")), value);
    }

    void iniRewriteKeepsCommentsAndOrder()
    {
        IniFile ini{QString()};
        ini.parse("; keep me\n[b]\nk1=1\n[a]\nk2=2\n");
        ini.setValue(QStringLiteral("A"), QStringLiteral("K2"), QStringLiteral("two"));
        ini.setValue(QStringLiteral("b"), QStringLiteral("k3"), QStringLiteral("3"));
        ini.setValue(QStringLiteral("c"), QStringLiteral("k4"), QStringLiteral("line\nbreak"));
        ini.remove(QStringLiteral("b"), QStringLiteral("k1"));
        QCOMPARE(ini.serialize(), QByteArray("; keep me\r\n[b]\r\nk3=3\r\n[a]\r\nk2=two\r\n[c]\r\nk4=line break\r\n"));
    }

    void storeDefaultsAndWriteThrough()
    {
        TestEnv env;
        QCOMPARE(SettingsStore::GetSetting("Brindle", "TimeLimit", "TimeLeft", "-1"), QStringLiteral("-1"));
        QVERIFY(SettingsStore::SaveSetting("Brindle", "TimeLimit", "TimeLeft", "120"));
        QCOMPARE(SettingsStore::GetSetting("Brindle", "TimeLimit", "TimeLeft", "-1"), QStringLiteral("120"));
        QVERIFY(SettingsStore::DeleteSetting("Brindle", "TimeLimit", "TimeLeft"));
        QCOMPARE(SettingsStore::GetSetting("Brindle", "TimeLimit", "TimeLeft", "d"), QStringLiteral("d"));
        // Each application has its own file.
        QVERIFY(SettingsStore::SaveSetting("Farrow", "General", "Host", "pc1"));
        QCOMPARE(SettingsStore::GetSetting("Brindle", "General", "Host", "none"), QStringLiteral("none"));
    }

    // Reads come from memory: the file is opened again only once it changed,
    // and looked at when a tick asks or a moment passed.
    void storeReadFromMemory()
    {
        TestEnv env;
        Clock::setNow(QDateTime(QDate(2026, 1, 5), QTime(8, 0)));
        const auto realClock = qScopeGuard([] { Clock::reset(); });
        const QString path = SettingsStore::filePath("Brindle");
        const auto running = [] { return SettingsStore::GetSetting("Brindle", "Beeper", "Running"); };
        QVERIFY(SettingsStore::SaveSetting("Brindle", "Beeper", "Running", "0"));
        FileEvents events(path);
        for (int tick = 0; tick < 20; ++tick) {
            Clock::advance(1);
            SettingsStore::Refresh("Brindle");
            QCOMPARE(running(), QStringLiteral("0"));
        }
        QCOMPARE(events.opens(), 0);
        // Beeper's process renames its file into place: same size, new inode.
        QVERIFY(AtomicFile::write(path, "[Beeper]\r\nRunning=1\r\n"));
        QCOMPARE(running(), QStringLiteral("0"));
        SettingsStore::Refresh("Brindle");
        QCOMPARE(running(), QStringLiteral("1"));
        QVERIFY(writeFile(path, "[Beeper]\r\nRunning=22\r\n")); // in place
        Clock::advance(1);
        QCOMPARE(running(), QStringLiteral("22"));
        QCOMPARE(events.opens(), 3); // the two reads and the write in place
    }

    // Several keys: one rewrite; none when nothing changes; a failed write
    // keeps the old file and what is read.
    void storeChangeIsOneWrite()
    {
        TestEnv env;
        const QString path = SettingsStore::filePath("Brindle");
        QVERIFY(SettingsStore::SaveSetting("Brindle", "TimeLimit", "PlayTime", "1"));
        FileEvents events(path);
        SettingsStore::Change change("Brindle");
        change.set("Beeper", "Quit", "0").set("Beeper", "Interval", "1000").set("TimeLimit", "TimeLeft", "77");
        QVERIFY(change.remove("TimeLimit", "PlayTime").save());
        QVERIFY(change.save());
        QCOMPARE(events.rewrites(), 1);
        const QByteArray before = readFile(path);
        QVERIFY(before.contains("Interval=1000\r\n") && !before.contains("PlayTime"));
        QString why;
        {
            const FileSizeLimit full(0);
            QVERIFY(!SettingsStore::SaveSetting("Brindle", "Beeper", "Quit", "1", &why));
        }
        QVERIFY(!why.isEmpty());
        QCOMPARE(readFile(path), before);
        QCOMPARE(SettingsStore::GetSetting("Brindle", "Beeper", "Quit"), QStringLiteral("0"));
    }

    void storeSharedBetweenProcesses()
    {
        // Shell and beeper write the same file; no write may be lost.
        TestEnv env;
        constexpr int writers = 4;
        constexpr int rounds = 25;
        QList<pid_t> children;
        for (int w = 0; w < writers; ++w) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                bool ok = true;
                for (int r = 0; r < rounds; ++r)
                    ok = SettingsStore::SaveSetting("Brindle", "Beeper", QStringLiteral("W%1_%2").arg(w).arg(r), "1") && ok;
                ::_exit(ok ? 0 : 1);
            }
            QVERIFY(pid > 0);
            children.append(pid);
        }
        for (pid_t pid : children) {
            int status = 0;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        IniFile ini(SettingsStore::filePath("Brindle"), IniFile::Encoding::Utf8);
        QVERIFY(ini.load());
        QCOMPARE(ini.keys(QStringLiteral("Beeper")).size(), writers * rounds);
    }

    void storeDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("when");
        QTest::newRow("iso") << "2026-12-06T18:30:05" << QDateTime(QDate(2026, 12, 6), QTime(18, 30, 5));
        QTest::newRow("date only") << "2026-12-06" << QDateTime(QDate(2026, 12, 6), QTime(0, 0));
        QTest::newRow("garbage") << "yesterday-ish" << QDateTime();
    }

    void storeDates()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, when);
        QCOMPARE(SettingsStore::ParseDate(text), when);
        if (when.isValid())
            QCOMPARE(SettingsStore::ParseDate(SettingsStore::FormatDate(when)), when);
    }

    void atomicWriteFailureKeepsOldFile()
    {
        TestEnv env;
        QString error;
        QVERIFY(!AtomicFile::write(env.path(QStringLiteral("no/such/folder/file")), "x", &error));
        QVERIFY(!error.isEmpty());

        const QString file = env.path(QStringLiteral("f"));
        QVERIFY(writeFile(file, "old"));
        {
            const FileSizeLimit full(1000);
            QVERIFY(!AtomicFile::write(file, QByteArray(4000, 'x'), &error));
        }
        QCOMPARE(readFile(file), QByteArray("old"));
        // The commit's rename cannot replace a folder.
        const QString folder = env.path(QStringLiteral("busy"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/x")));
        QVERIFY(!AtomicFile::write(folder, "new", &error));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(env.programFolder()).entryList(QDir::Files), QStringList{QStringLiteral("f")});
    }

    void singleInstanceLock()
    {
        TestEnv env;
        const QString folder = env.programFolder();
        QVERIFY(!SingleInstance::isHeld(QStringLiteral("brindle"), folder));
        QProcess child;
        {
            SingleInstance first(QStringLiteral("brindle"), folder);
            QVERIFY(first.tryAcquire());
            child.start(QStringLiteral("sleep"), {QStringLiteral("5")});
            QVERIFY(child.waitForStarted());
            QVERIFY(SingleInstance::isHeld(QStringLiteral("brindle"), folder));
            SingleInstance second(QStringLiteral("brindle"), folder);
            QVERIFY(!second.tryAcquire());
            // Another program folder or another program is not affected.
            SingleInstance elsewhere(QStringLiteral("brindle"), folder + QStringLiteral("other"));
            QVERIFY(elsewhere.tryAcquire());
            SingleInstance beeper(QStringLiteral("beeper"), folder);
            QVERIFY(beeper.tryAcquire());
        }
        // A program started meanwhile does not keep the lock alive.
        QVERIFY(!SingleInstance::isHeld(QStringLiteral("brindle"), folder));
        child.kill();
        child.waitForFinished();

        // Never where another user could create the lock first.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        for (const char *shared : {"/tmp", ""}) {
            qputenv("XDG_RUNTIME_DIR", shared);
            QCOMPARE(QFileInfo(SingleInstance::lockPath(QStringLiteral("brindle"), folder)).absolutePath(),
                     QFileInfo(folder).canonicalFilePath());
        }
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
};

QTEST_GUILESS_MAIN(TestStoreFiles)
#include "TestStoreFiles.moc"
