// The power requests against a stand-in logind (python3-dbusmock) on a
// private bus, so the real D-Bus calls and their arguments are checked.
#include "base/ShutDown.h"
#include "platform/Services.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

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
        m_address = QString::fromLatin1(m_bus.readLine().trimmed());
        QVERIFY(!m_address.isEmpty());
        // Our process reaches "the system bus" through this address from now on.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLatin1());
        qputenv("XDG_SESSION_ID", "c7");

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
        m_logind.setProcessEnvironment(env);
        m_logind.setProcessChannelMode(QProcess::ForwardedChannels);
        m_logind.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                                            QStringLiteral("--system"), QStringLiteral("--template"),
                                                            QStringLiteral("logind")});
        QVERIFY(m_logind.waitForStarted());
        QDeadlineTimer deadline(15000);
        auto bus = QDBusConnection::systemBus();
        QVERIFY(bus.isConnected());
        while (!bus.interface()->isServiceRegistered(Login1) && !deadline.hasExpired())
            QThread::msleep(50);
        QVERIFY2(bus.interface()->isServiceRegistered(Login1), "the logind stand-in did not come up");

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
        for (const QString &path : {QStringLiteral("/org/freedesktop/login1"), QStringLiteral("/org/freedesktop/login1/session/c7")}) {
            QDBusInterface mock(Login1, path, MockIface, QDBusConnection::systemBus());
            mock.call(QStringLiteral("ClearCalls"));
        }
    }

    // Ending Windows' way maps onto the manager (power) or the session (log off).
    void requests_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("call");
        const QString manager = QStringLiteral("/org/freedesktop/login1");
        const QString session = QStringLiteral("/org/freedesktop/login1/session/c7");
        QTest::newRow("power off") << int(ShutDown::EWX_POWEROFF) << manager << "PowerOff false";
        QTest::newRow("reboot") << int(ShutDown::EWX_REBOOT) << manager << "Reboot false";
        QTest::newRow("log off") << int(ShutDown::EWX_LOGOFF | ShutDown::EWX_FORCE) << session << "Terminate";
    }

    void requests()
    {
        QFETCH(int, flags);
        QFETCH(QString, path);
        QFETCH(QString, call);
        QVERIFY(ShutDown::ExitWindowsWith(flags));
        QCOMPARE(callsOn(path), QStringList{call});
    }

    void lock()
    {
        QVERIFY(platform::Services::power().lockSession());
        QCOMPARE(callsOn(QStringLiteral("/org/freedesktop/login1/session/c7")), QStringList{QStringLiteral("Lock")});
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
    QStringList callsOn(const QString &path)
    {
        // GetCalls returns a(tsav): time, method, arguments.
        QDBusInterface mock(Login1, path, MockIface, QDBusConnection::systemBus());
        const QDBusMessage reply = mock.call(QStringLiteral("GetCalls"));
        QStringList calls;
        if (reply.type() != QDBusMessage::ReplyMessage)
            return calls;
        const QDBusArgument arg = reply.arguments().value(0).value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            quint64 when = 0;
            QString method;
            QVariantList args;
            arg.beginStructure();
            arg >> when >> method >> args;
            arg.endStructure();
            QStringList text{method};
            for (const QVariant &v : args) {
                const QVariant plain = v.canConvert<QDBusVariant>() ? v.value<QDBusVariant>().variant() : v;
                text << plain.toString();
            }
            calls << text.join(QLatin1Char(' '));
        }
        arg.endArray();
        return calls;
    }

    QProcess m_bus;
    QProcess m_logind;
    QString m_address;
};

QTEST_GUILESS_MAIN(TestLogindPower)
#include "TestLogindPower.moc"
