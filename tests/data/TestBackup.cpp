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
    // Each backup is a numbered pair of the record and the key table as they
    // are at that moment; a gap left by a deleted pair is filled first, and a
    // keys file left without its settings file keeps its number taken.
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
        QVERIFY(writeFile(app + "backup/0004_spc_keys.dat", "x"));
        QCOMPARE(Backup::NextBackupNumber(app), 5);
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
};

QTEST_GUILESS_MAIN(TestBackup)
#include "TestBackup.moc"
