#include "LinuxServices.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <unistd.h>

namespace platform::linuxsvc {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

// systemd-logind on the system bus. The bus is reached only when a request
// is made, so start-up never waits for it.
class LogindPower : public Power
{
public:
    bool powerOff() override { return callManager(QStringLiteral("PowerOff")); }
    bool reboot() override { return callManager(QStringLiteral("Reboot")); }
    bool logOff() override { return callSession(QStringLiteral("Terminate")); }
    bool lockSession() override { return callSession(QStringLiteral("Lock")); }

private:
    static bool callManager(const QString &method)
    {
        QDBusInterface manager(kService, kManagerPath, kManager, QDBusConnection::systemBus());
        if (!manager.isValid())
            return false;
        // Not interactive: the shell has no way to answer a polkit question.
        const QDBusMessage reply = manager.call(method, false);
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    static QString sessionPath()
    {
        QDBusInterface manager(kService, kManagerPath, kManager, QDBusConnection::systemBus());
        if (!manager.isValid())
            return {};
        const QByteArray id = qgetenv("XDG_SESSION_ID");
        if (!id.isEmpty()) {
            QDBusReply<QDBusObjectPath> reply = manager.call(QStringLiteral("GetSession"),
                                                             QString::fromLatin1(id));
            if (reply.isValid())
                return reply.value().path();
        }
        QDBusReply<QDBusObjectPath> reply = manager.call(QStringLiteral("GetSessionByPID"),
                                                         quint32(::getpid()));
        return reply.isValid() ? reply.value().path() : QString();
    }

    static bool callSession(const QString &method)
    {
        const QString path = sessionPath();
        if (path.isEmpty())
            return false;
        QDBusInterface session(kService, path, kSession, QDBusConnection::systemBus());
        if (!session.isValid())
            return false;
        return session.call(method).type() == QDBusMessage::ReplyMessage;
    }
};

} // namespace

std::unique_ptr<Power> createPower()
{
    return std::make_unique<LogindPower>();
}

} // namespace platform::linuxsvc
