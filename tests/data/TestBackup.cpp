#include "data/Backup.h"
#include "data/SettingsFile.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void nextNumber_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("next");

        QTest::newRow("empty folder") << QStringList() << 1;
        QTest::newRow("leftover keys file") << QStringList{"0001_spc_keys.dat"} << 2;
        QTest::newRow("unpadded names do not count") << QStringList{"1_spc_keys.dat"} << 1;
        QTest::newRow("no backup folder") << QStringList{"<no folder>"} << 1;
    }

    void nextNumber()
    {
        QFETCH(QStringList, files);
        QFETCH(int, next);

        TestEnv env;
        const QString app = env.programFolder();
        if (files == QStringList{QStringLiteral("<no folder>")})
            QVERIFY(QDir(app + "backup").removeRecursively());
        else
            for (const QString &name : files)
                QVERIFY(writeFile(app + "backup/" + name, "x"));
        QCOMPARE(Backup::NextBackupNumber(app), next);
    }

    // Each backup is a numbered pair of the record and the key table as they
    // are at that moment; a gap left by a deleted pair is filled first.
    void writeBackupPairs()
    {
        TestEnv env;
        const QString app = env.programFolder();
        SettingsRecord record;
        const QList<SpecialKey> keys{{172, QStringLiteral("(MS) WEB/HOME")}, {9, QStringLiteral("Tab")}};
        for (int expected = 1; expected <= 3; ++expected) {
            record.GridSize = expected;
            int used = 0;
            QVERIFY(!Backup::WriteBackup(app, record, keys, &used));
            QCOMPARE(used, expected);
            QCOMPARE(readFile(Backup::SettingsFileName(app, used)), SettingsFile::Write(record));
            QCOMPARE(readFile(Backup::KeysFileName(app, used)), QByteArray("172,(MS) WEB/HOME\r\n9,Tab\r\n"));
        }
        QVERIFY(QFile::remove(Backup::KeysFileName(app, 2)) && QFile::remove(Backup::SettingsFileName(app, 2)));
        int used = 0;
        QVERIFY(!Backup::WriteBackup(app, record, {}, &used));
        QCOMPARE(used, 2);
        QCOMPARE(Backup::NextBackupNumber(app), 4);
    }

    // The parent's files are the child's account's alone, also over older ones readable by all.
    void parentsFilesAreOwnerOnly()
    {
        TestEnv env;
        const QString app = env.programFolder();
        const QStringList names{"settings.dat", "spc_keys.dat", "backup/0001_settings.dat", "backup/0001_spc_keys.dat"};
        for (const QString &name : names.mid(0, 2))
            QVERIFY(writeFile(app + name, "old") && QFile::setPermissions(app + name, QFileDevice::Permissions(0x6644)));
        QVERIFY(!SettingsFile::SaveFile(app + names[0], SettingsRecord()) && SpecialKeysFile::Write(app + names[1], {}));
        QVERIFY(!Backup::WriteBackup(app, SettingsRecord(), {}));
        for (const QString &name : names)
            QCOMPARE(QFileInfo(app + name).permissions() & ~QFileDevice::Permissions(0x0F00), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // A missing folder is made; a file in its place is an error, and stays.
    void missingFolder()
    {
        TestEnv env;
        const QString app = env.programFolder();
        QVERIFY(QDir(app + "backup").removeRecursively());
        QVERIFY(!Backup::WriteBackup(app, SettingsRecord(), {}));
        QVERIFY(QFileInfo::exists(Backup::SettingsFileName(app, 1)));
        QVERIFY(QDir(app + "backup").removeRecursively());
        QVERIFY(writeFile(app + "backup", "x"));
        const auto error = Backup::WriteBackup(app, SettingsRecord(), {});
        QVERIFY(error);
        QCOMPARE(error->Number, VbErr::PathNotFound);
        QCOMPARE(readFile(app + "backup"), QByteArray("x"));
    }

    void cleanBackup()
    {
        TestEnv env;
        const QString app = env.programFolder();
        for (int n = 1; n <= 3; ++n)
            QVERIFY(!Backup::WriteBackup(app, SettingsRecord(), {}));
        QVERIFY(writeFile(app + "backup/OLD.DAT", "x"));
        QVERIFY(writeFile(app + "backup/notes.txt", "x"));
        QVERIFY(QDir().mkpath(app + "backup/inner.dat"));
        QFile::setPermissions(app + "backup/0001_settings.dat", QFile::ReadOwner);
        QVERIFY(writeFile(app + "settings.dat", "x"));
        Backup::CleanBackup(app);
        QStringList left = QDir(app + "backup").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, (QStringList{"inner.dat", "notes.txt"}));
        QVERIFY(QFileInfo::exists(app + "settings.dat"));
        // No folder at all: no error, no crash.
        QVERIFY(QDir(app + "backup").removeRecursively());
        Backup::CleanBackup(app);
    }

    // The marker "_!": any content counts, a read-only one is replaced and
    // removed all the same, and removing it leaves the backups for the quit.
    void marker()
    {
        TestEnv env;
        const QString app = env.programFolder();
        QVERIFY(!Backup::MarkerExists(app));
        Backup::RemoveMarker(app); // none there: no error
        QVERIFY(writeFile(app + "_!", "anything"));
        QVERIFY(QFile::setPermissions(app + "_!", QFile::ReadOwner));
        QVERIFY(Backup::MarkerExists(app));
        QVERIFY(!Backup::WriteMarker(app));
        QCOMPARE(readFile(app + "_!"), QByteArray("!\r\n"));
        QVERIFY(!Backup::WriteBackup(app, SettingsRecord(), {}));
        QVERIFY(QFile::setPermissions(app + "_!", QFile::ReadOwner));
        Backup::RemoveMarker(app);
        QVERIFY(!QFileInfo::exists(app + "_!"));
        QVERIFY(QFileInfo::exists(Backup::SettingsFileName(app, 1)));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "TestBackup.moc"
