// The power requests against a stand-in logind (python3-dbusmock) on a
// private bus, so the real D-Bus calls and their arguments are checked.
#include "base/ShutDown.h"
#include "platform/Services.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTemporaryDir>

#include <unistd.h>

static const QString Login1 = QStringLiteral("org.freedesktop.login1");
static const QString MockIface = QStringLiteral("org.freedesktop.DBus.Mock");

class TestLogindPower : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address=1")});
        QVERIFY(m_bus.waitForStarted());
        QVERIFY(m_bus.waitForReadyRead(10000));
        const QString address = QString::fromLatin1(m_bus.readLine().trimmed());
        QVERIFY(!address.isEmpty());
        // Our process and the stand-in reach "the system bus" through this address from now on.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toLatin1());
        qputenv("XDG_SESSION_ID", "c7");

        m_logind.setProcessChannelMode(QProcess::ForwardedChannels);
        m_logind.start(QStringLiteral("/usr/bin/python3"), {"-m", "dbusmock", "--system", "--template", "logind",
                                                            "--logfile", m_log.fileName()});
        QVERIFY(m_logind.waitForStarted());
        auto bus = QDBusConnection::systemBus();
        QVERIFY(bus.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(Login1), 15000);

        QDBusInterface mock(Login1, QStringLiteral("/org/freedesktop/login1"), MockIface, bus);
        const QDBusMessage added = mock.call(QStringLiteral("AddSession"), QStringLiteral("c7"),
                                             QStringLiteral("seat0"), quint32(::getuid()), QStringLiteral("kid"), true);
        QCOMPARE(added.type(), QDBusMessage::ReplyMessage);
    }

    void cleanupTestCase()
    {
        for (QProcess *p : {&m_logind, &m_bus}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }

    void init()
    {
        platform::Services::reset();
        lastCall();
    }

    // Ending Windows' way maps onto the manager (power) or the session (log
    // off); no flags: lock the session.
    void requests_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("call");
        QTest::newRow("power off") << int(ShutDown::EWX_POWEROFF) << "PowerOff False";
        QTest::newRow("reboot") << int(ShutDown::EWX_REBOOT) << "Reboot False";
        QTest::newRow("log off") << int(ShutDown::EWX_LOGOFF | ShutDown::EWX_FORCE) << "Terminate";
        QTest::newRow("lock") << -1 << "Lock";
    }

    void requests()
    {
        QFETCH(int, flags);
        QFETCH(QString, call);
        QVERIFY(flags < 0 ? platform::Services::power().lockSession() : ShutDown::ExitWindowsWith(flags));
        QCOMPARE(lastCall(), call);
    }

    void unknownSessionIsRefused()
    {
        // A session logind does not know is a refusal, not a success.
        qputenv("XDG_SESSION_ID", "nosuch");
        platform::Services::reset();
        const bool loggedOff = platform::Services::power().logOff();
        qputenv("XDG_SESSION_ID", "c7");
        QVERIFY(!loggedOff);
    }

private:
    // The last method call the stand-in logged since the last look ("PowerOff
    // False"), without its time stamp (a log off looks the session up first).
    QString lastCall()
    {
        QString last;
        if (m_log.open(QIODevice::ReadOnly)) {
            for (const QString &line : QString::fromUtf8(m_log.readAll().mid(m_logRead)).split('\n', Qt::SkipEmptyParts))
                if (!line.section(' ', 1).startsWith("emit ")) // signals are logged too
                    last = line.section(' ', 1);
            m_logRead = m_log.size();
            m_log.close();
        }
        return last;
    }

    QTemporaryDir m_dir;
    QFile m_log{m_dir.filePath(QStringLiteral("logind.log"))};
    qint64 m_logRead = 0;
    QProcess m_bus;
    QProcess m_logind;
};

QTEST_GUILESS_MAIN(TestLogindPower)
#include "TestLogindPower.moc"
