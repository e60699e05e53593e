#include <TestEnv.h>
#include <clsSysInfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QNetworkInterface>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

enum Expect { Empty = -1, Absent = 0, Found = 1 };

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void processQueries_data()
    {
        QTest::addColumn<bool>("byId");
        QTest::addColumn<QString>("exeName");
        QTest::addColumn<QString>("exePath");
        QTest::addColumn<QString>("where"); // %1 = this process, %2 = its parent
        QTest::addColumn<QString>("computer");
        QTest::addColumn<int>("expect");
        QTest::newRow("by id, the where clause ignored")
            << true << "" << "" << "where ProcessId = 1" << "." << int(Found);
        QTest::newRow("by id on another computer") << true << "" << "" << "" << "elsewhere" << int(Empty);
        QTest::newRow("name pattern in other case") << false << "TESTsys*" << "" << "" << "." << int(Found);
        QTest::newRow("name pattern with lists") << false << "[st]est?ysinf[!x]" << "" << "" << "." << int(Found);
        QTest::newRow("name pattern wins over path")
            << false << "testsysinfo" << "/nowhere/*" << "" << "." << int(Found);
        QTest::newRow("path pattern of the folder") << false << "" << "*/tests/orrery/testsysinfo" << "" << "."
                                                    << int(Found);
        QTest::newRow("like, or, not, parentheses")
            << false << "" << "" << "WHERE (Name LIKE 'testsys%' OR Name = 'x') AND NOT ProcessId <> %1" << "."
            << int(Found);
        QTest::newRow("like with one character and a list")
            << false << "" << "" << "where name like '_estsysinf[a-z]' and processid >= %1 and processid <= %1"
            << "." << int(Found);
        QTest::newRow("not like") << false << "" << "" << "where Name not like 'test%' and ProcessId = %1" << "."
                                  << int(Absent);
        QTest::newRow("text constant against a number") << false << "" << "" << "where ProcessId = \"%1\"" << "."
                                                        << int(Found);
        QTest::newRow("is null") << false << "" << "" << "where InstallDate is null and ProcessId = %1" << "."
                                 << int(Found);
        QTest::newRow("null does not spoil or") << false << "" << "" << "where InstallDate = 'x' or ProcessId = %1"
                                                << "." << int(Found);
        QTest::newRow("not of a null comparison is neither true nor false")
            << false << "" << "" << "where (not InstallDate = 'x' or not (not InstallDate = 'x')) and ProcessId = %1"
            << "." << int(Absent);
        QTest::newRow("unknown property") << false << "" << "" << "where Colour = 1" << "." << int(Empty);
        QTest::newRow("unclosed text") << false << "" << "" << "where Name = 'abc" << "." << int(Empty);
    }

    void processQueries()
    {
        QFETCH(bool, byId);
        QFETCH(QString, exeName);
        QFETCH(QString, exePath);
        QFETCH(QString, where);
        QFETCH(QString, computer);
        QFETCH(int, expect);
        const qint32 pid = qint32(QCoreApplication::applicationPid());
        clsSysInfo info;
        qint32 count = 42;
        const QList<ProcessInfo> found = info.GetProcessInformation(count, byId ? pid : -1, exeName, exePath,
                                                                    where.arg(pid).arg(getppid()), computer);
        QCOMPARE(count, qint32(found.size()) - 1);
        const bool self = std::any_of(found.cbegin(), found.cend(),
                                      [&](const ProcessInfo &p) { return p.p_ProcessId == pid; });
        QCOMPARE(self, expect == Found);
        if (expect == Empty)
            QCOMPARE(count, -1);
    }

    // Every process, this one's record in full; kernel threads have no
    // executable, so even a path pattern of "*" does not keep them.
    void processRecords()
    {
        clsSysInfo info;
        qint32 count = 0;
        const QList<ProcessInfo> all = info.GetProcessInformation(count, -1, {}, {}, {}, QStringLiteral("."));
        QCOMPARE(count, qint32(all.size()) - 1);
        const auto record = [&all](pid_t id) {
            return std::find_if(all.cbegin(), all.cend(), [id](const ProcessInfo &p) { return p.p_ProcessId == id; });
        };
        QVERIFY(record(getppid()) != all.cend());
        const QList<ProcessInfo> withPath = info.GetProcessInformation(count, -1, {}, "*", {}, ".");
        QVERIFY(!withPath.isEmpty());
        for (const ProcessInfo &p : withPath)
            QVERIFY(!p.p_ExecutablePath.isEmpty());

        QVERIFY(record(getpid()) != all.cend());
        const ProcessInfo &me = *record(getpid());
        QCOMPARE(me.p_Name, QStringLiteral("TestSysInfo"));
        QCOMPARE(me.p_ExecutablePath, QCoreApplication::applicationFilePath());
        QVERIFY(me.p_CommandLine.contains(QStringLiteral("TestSysInfo")));
        QCOMPARE(me.p_ParentProcessId, qint32(getppid()));
        const passwd *account = getpwuid(geteuid());
        QVERIFY(account);
        QCOMPARE(me.p_ProcessOwnerUser, QString::fromLocal8Bit(account->pw_name));
        QCOMPARE(me.p_ProcessOwnerDomain, QSysInfo::machineHostName());
        const qint64 age = me.p_CreationDate.secsTo(QDateTime::currentDateTime());
        QVERIFY2(age >= 0 && age < 600, qPrintable(me.p_CreationDate.toString()));
        QVERIFY(me.p_ThreadCount >= 1 && me.p_HandleCount >= 3);
        QVERIFY(me.p_WorkingSetSize > 0 && me.p_VirtualSize >= me.p_WorkingSetSize);

        QCOMPARE(info.GetProcessInfo(me, 3).typeId(), int(QMetaType::QDateTime));
        QCOMPARE(info.GetProcessInfo(me, 28), QVariant(qint32(getpid())));
        QVERIFY(!info.GetProcessInfo(me, 47).isValid());
        QCOMPARE(info.GetProcessInfoName(info.GetProcessInfoNameCount() + 1), QString());
    }

    void formatBytes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1024 stays in bytes") << "en_US" << 1024.0 << "1,024.00 Bytes";
        QTest::newRow("no unit above GB") << "en_US" << 3.0 * 1024 * 1024 * 1024 * 1024 << "3,072.00 GB";
        QTest::newRow("regional separators") << "de_DE" << 1024.0 << "1.024,00 Bytes";
    }

    void formatBytes()
    {
        QFETCH(QString, locale);
        QFETCH(double, bytes);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(clsSysInfo::FormatBytes(bytes), text);
        QLocale::setDefault(QLocale::c());
    }

    void drives_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<QString>("mountPoint"); // below the test folder; "/" for the root
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<int>("access");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("label");
        QTest::newRow("root is C, lower case asked") << "c" << "C:" << "/" << "ext4" << 3 << "" << "";
        QTest::newRow("first other block device, only the first letter counts")
            << "Dxyz" << "D:" << "usb" << "vfat" << 3 << "12AB34CD" << "My Stick";
        QTest::newRow("escaped blank, read-only") << "E" << "E:" << "data disk" << "ext4" << 1 << "1B4E28BA" << "";
        QTest::newRow("serial from the superblock without a link")
            << "f" << "F:" << "image" << "ext4" << 3 << "C0FFEE01" << "";
        QTest::newRow("bind mounts, repeats and memory file systems get none")
            << "G" << "" << "" << "" << 0 << "" << "";
        QTest::newRow("empty drive") << "" << "" << "" << "" << 0 << "" << "";
    }

    void drives()
    {
        QFETCH(QString, drive);
        QFETCH(QString, deviceId);
        QFETCH(QString, mountPoint);
        QFETCH(QString, fileSystem);
        QFETCH(int, access);
        QFETCH(QString, serial);
        QFETCH(QString, label);
        QTemporaryDir dir;
        const QString base = dir.path();
        for (const char *folder : {"usb", "usb2", "data disk", "bind", "ram", "links/by-uuid", "links/by-label"})
            QVERIFY(QDir(base).mkpath(QString::fromLatin1(folder)));
        QVERIFY(QFile::link("/dev/fakedata", base + "/links/by-uuid/1b4e28ba-2fa1-11d2-883f-0016d3cca427"));
        QVERIFY(QFile::link("/dev/fakeusb", base + "/links/by-uuid/12AB-34CD"));
        QVERIFY(QFile::link("/dev/fakeusb", base + "/links/by-label/My\\x20Stick"));
        // An ext file system's superblock: magic number and UUID; /dev/shm makes it a device path.
        QTemporaryDir shm(QStringLiteral("/dev/shm/orrery-XXXXXX"));
        QByteArray superblock(2048, '\0');
        superblock.replace(1024 + 0x38, 2, "\x53\xEF").replace(1024 + 0x68, 4, "\xC0\xFF\xEE\x01");
        QVERIFY(QDir(base).mkpath("image") && writeFile(shm.filePath("image"), superblock));
        const QString table = QStringLiteral("22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                                             "27 1 250:1 / / rw,relatime - ext4 /dev/fakeroot rw\n"
                                             "30 27 250:2 / %1/usb rw,nosuid shared:5 - vfat /dev/fakeusb rw\n"
                                             "31 27 250:3 /sub %1/bind rw - ext4 /dev/fakedata rw\n"
                                             "32 27 250:3 / %1/data\\040disk ro,noatime - ext4 /dev/fakedata rw\n"
                                             "33 27 250:2 / %1/usb2 rw - vfat /dev/fakeusb rw\n"
                                             "34 27 0:40 / %1/ram rw - tmpfs tmpfs rw\n"
                                             "35 27 250:4 / %1/image rw - ext4 %2 rw\n")
                                  .arg(base, shm.filePath("image"));
        QVERIFY(writeFile(base + "/mountinfo", table.toUtf8()));

        clsSysInfo info(SysInfoSources{base + "/mountinfo", base + "/links"});
        const DriveInfo d = info.GetDriveInfo(drive);
        QCOMPARE(d.di_DeviceID, deviceId);
        QCOMPARE(d.di_FileSystem, fileSystem);
        QCOMPARE(int(d.di_Access), access);
        QCOMPARE(d.di_VolumeSerialNumber, serial);
        QCOMPARE(d.di_VolumeName, label);
        QCOMPARE(info.GetSerialNumber(drive), qint32(serial.toUInt(nullptr, 16)));
        if (!mountPoint.isEmpty()) {
            const QStorageInfo storage(mountPoint == "/" ? mountPoint : base + '/' + mountPoint);
            QCOMPARE(d.di_Size, double(storage.bytesTotal()));
            QVERIFY(d.di_FreeSpace > 0 && d.di_FreeSpace <= d.di_Size);
        }
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("message");
        QTest::newRow("address as name") << " 127.0.0.1 " << "127.0.0.1" << false;
        QTest::newRow("name that cannot resolve") << "a..b" << "" << true;
    }

    void addresses()
    {
        QFETCH(QString, host);
        QFETCH(QString, address);
        QFETCH(bool, message);
        clsSysInfo info;
        QSignalSpy messages(&info, &clsSysInfo::message);
        QCOMPARE(info.GetIPAddress(host), address);
        QCOMPARE(messages.size(), message ? 1 : 0);
        if (message)
            QCOMPARE(messages[0][0].toString(),
                     QStringLiteral("The computer's sockets are not responding. "
                                    "Unable to successfully get Host Name."));
        // This computer's own: one of its IPv4 addresses.
        const QHostAddress own(info.GetIPAddress(QString()));
        QVERIFY(own.protocol() == QAbstractSocket::IPv4Protocol && QNetworkInterface::allAddresses().contains(own));
    }
};

QTEST_GUILESS_MAIN(TestSysInfo)
#include "TestSysInfo.moc"
