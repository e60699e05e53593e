#include "LinuxServices.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QObject>

#include <vector>

#include <unistd.h>

namespace platform::linuxsvc {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

// logind's PrepareForSleep(false): the machine has woken.
class ResumeWatch : public QObject
{
    Q_OBJECT

public:
    std::vector<std::function<void()>> resumed;

    void start()
    {
        QDBusConnection::systemBus().connect(kService, kManagerPath, kManager, QStringLiteral("PrepareForSleep"),
                                             this, SLOT(prepareForSleep(bool)));
    }

private slots:
    void prepareForSleep(bool sleeping)
    {
        if (sleeping)
            return;
        for (const auto &handler : resumed)
            handler();
    }
};

// systemd-logind on the system bus. The bus is reached only when a request
// is made or a wake is first asked for, so start-up never waits for it.
class LogindPower : public Power
{
public:
    void onResume(std::function<void()> resumed) override
    {
        if (!m_resume) {
            m_resume = std::make_unique<ResumeWatch>();
            m_resume->start();
        }
        m_resume->resumed.push_back(std::move(resumed));
    }

    bool powerOff() override { return callManager(QStringLiteral("PowerOff")); }
    bool reboot() override { return callManager(QStringLiteral("Reboot")); }
    bool logOff() override { return callSession(QStringLiteral("Terminate")); }
    bool lockSession() override { return callSession(QStringLiteral("Lock")); }

private:
    std::unique_ptr<ResumeWatch> m_resume;

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

#include "LogindPower.moc"
