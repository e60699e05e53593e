#include "RemoteServer.h"

#include "Cp1252.h"
#include "RemoteHost.h"
#include "RemoteListener.h"
#include "SettingsStore.h"
#include "Tones.h"
#include "base/TimeLimitStore.h"

#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int DefaultIdleMs = 60 * 1000;
constexpr int MaxWrongAnswers = 3;

QString storedPlayTime()
{
    return TimeLimitStore::Get(QStringLiteral("PlayTime"), QStringLiteral("0"));
}

} // namespace

RemoteServer::RemoteServer(RemoteHost &host, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_listener(new RemoteListener(this))
    , m_connection(new QTcpSocket(this))
    , m_idleTimer(new QTimer(this))
{
    m_listener->setObjectName(QStringLiteral("Winsock1(0)"));
    m_connection->setObjectName(QStringLiteral("Winsock1(1)"));
    m_idleTimer->setObjectName(QStringLiteral("IdleTimer"));
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(DefaultIdleMs);

    connect(m_listener, &RemoteListener::connectionRequest, this, &RemoteServer::ConnectionRequest);
    // channelReadyRead, unlike readyRead, also arrives while a command (a
    // started program in run-and-wait mode) runs a nested event loop, so the
    // console's polls are still answered then.
    connect(m_connection, &QTcpSocket::channelReadyRead, this, &RemoteServer::DataArrival);
    connect(m_connection, &QTcpSocket::disconnected, m_idleTimer, &QTimer::stop);
    connect(m_idleTimer, &QTimer::timeout, m_connection, &QTcpSocket::abort);
}

bool RemoteServer::Listen(quint16 port)
{
    return m_listener->listen(QHostAddress::Any, port);
}

QString RemoteServer::ErrorString() const
{
    return m_listener->errorString();
}

quint16 RemoteServer::Port() const
{
    return m_listener->serverPort();
}

void RemoteServer::setIdleTimeout(int milliseconds)
{
    m_idleTimer->setInterval(milliseconds);
}

void RemoteServer::ConnectionRequest(qintptr descriptor)
{
    // One console at a time: a live connection keeps the slot, one whose
    // peer has hung up is recycled.
    if (m_connection->state() == QAbstractSocket::ConnectedState && !PeerHasClosed()) {
        ::close(int(descriptor));
        return;
    }
    m_connection->abort();
    ++m_serial;
    m_reader.Reset();
    m_queue.clear();
    m_challenge.clear();
    m_provenKey.clear();
    m_wrongAnswers = 0;
    if (!m_connection->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        return;
    }
    m_connection->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_idleTimer->start();
    Reply(m_serial, m_host.ExpiredDialogOpen() ? QStringLiteral("/we!") : QStringLiteral("/we"));
}

bool RemoteServer::PeerHasClosed() const
{
    // The hang-up may still wait in the kernel behind this very request.
    char byte;
    const ssize_t n = ::recv(int(m_connection->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void RemoteServer::DataArrival()
{
    m_idleTimer->start();
    for (const RemoteProtocol::Message &message : m_reader.Feed(m_connection->readAll()))
        m_queue.append(message.text);
    Drain();
}

void RemoteServer::Drain()
{
    // A nested call (from a command's event loop) takes the next messages in
    // order; the outer one then finds the queue empty.
    const quint64 serial = m_serial;
    while (!m_queue.isEmpty() && serial == m_serial
           && m_connection->state() == QAbstractSocket::ConnectedState)
        Dispatch(m_queue.takeFirst());
}

void RemoteServer::Reply(quint64 connection, const QString &text)
{
    // Sent at once rather than on the next turn of the event loop.
    if (connection == m_serial && m_connection->state() == QAbstractSocket::ConnectedState) {
        m_connection->write(Cp1252::encode(text));
        m_connection->flush();
    }
}

void RemoteServer::Dispatch(const QString &message)
{
    const quint64 connection = m_serial;
    const QString word = RemoteProtocol::Word(message);
    const QString argument = RemoteProtocol::Argument(message);

    if (word == QLatin1String("/tm")) {
        Reply(connection, QStringLiteral("/tm") + storedPlayTime());
    } else if (word == QLatin1String("/sl")) {
        Reply(connection, (m_host.ClockPaused() ? QStringLiteral("/sp") : QStringLiteral("/sl"))
                              + QString::number(m_host.TimeLeftSeconds()));
    } else if (word == QLatin1String("/bl")) {
        Reply(connection, ButtonList());
    } else if (word == QLatin1String("/pw")) {
        const QString password = m_host.ParentPassword();
        m_challenge = password.isEmpty() ? QString() : RemoteProtocol::NewChallenge();
        Reply(connection, password.isEmpty() ? QStringLiteral("/pw") : QStringLiteral("/pw#") + m_challenge);
    } else if (word == QLatin1String("/au")) {
        Authenticate(connection, argument);
    } else if (word == QLatin1String("/rt") || word == QLatin1String("/ex") || word == QLatin1String("/sd")) {
        if (!MaySteer())
            Reply(connection, QStringLiteral("/er"));
        else if (word == QLatin1String("/rt"))
            ResetTime(connection, argument);
        else if (word == QLatin1String("/ex"))
            Execute(connection, argument);
        else
            ShutDown(connection);
    } else {
        Reply(connection, QStringLiteral("/er"));
    }
}

QString RemoteServer::ButtonList() const
{
    QString list = QStringLiteral("/bl\r\n");
    for (const RemoteHost::Button &button : m_host.LinkedButtons()) {
        // A line break in a caption would end the entry early.
        QString text = button.text;
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        list += QString::number(button.index) + QLatin1Char('|') + text + QLatin1String("\r\n");
    }
    return list;
}

void RemoteServer::Authenticate(quint64 connection, const QString &answer)
{
    const QString password = m_host.ParentPassword();
    const bool good = !m_challenge.isEmpty() && !password.isEmpty()
                      && RemoteProtocol::SameAnswer(RemoteProtocol::Answer(m_challenge, password), answer);
    m_challenge.clear(); // one answer per challenge
    if (good) {
        m_provenKey = password.toLower();
        Reply(connection, QStringLiteral("/ok"));
        return;
    }
    Reply(connection, QStringLiteral("/er"));
    if (++m_wrongAnswers >= MaxWrongAnswers)
        m_connection->disconnectFromHost();
}

bool RemoteServer::MaySteer() const
{
    // A proof holds only for the password it was made with.
    const QString password = m_host.ParentPassword();
    return password.isEmpty() || (!m_provenKey.isEmpty() && m_provenKey == password.toLower());
}

void RemoteServer::ResetTime(quint64 connection, const QString &playTime)
{
    if (!playTime.isEmpty()
        && !SettingsStore::SaveSetting(QStringLiteral("Brindle"), QStringLiteral("TimeLimit"),
                                       QStringLiteral("PlayTime"), playTime)) {
        Reply(connection, QStringLiteral("/er"));
        return;
    }
    m_host.ResetTime();
    if (m_host.ExpiredDialogOpen())
        m_host.ReleaseExpiredDialog();
    Reply(connection, QStringLiteral("/ok"));
}

void RemoteServer::Execute(quint64 connection, const QString &argument)
{
    bool number = false;
    const int index = argument.trimmed().toShort(&number);
    bool linked = false;
    for (const RemoteHost::Button &button : m_host.LinkedButtons())
        linked = linked || button.index == index;
    if (!number || !linked) {
        Reply(connection, QStringLiteral("/er"));
        return;
    }
    if (m_host.PasswordDialogOpen())
        m_host.ClosePasswordDialog();
    if (m_host.ExpiredDialogOpen()) {
        m_host.ResetTime();
        m_host.ReleaseExpiredDialog();
    }
    m_host.ExecuteButton(index);
    Reply(connection, QStringLiteral("/ok"));
}

void RemoteServer::ShutDown(quint64 connection)
{
    Reply(connection, QStringLiteral("/ok")); // out before the PC goes down
    if (m_host.DebugMode()) {
        for (int i = 0; i < 3; ++i)
            Tones::Beep(1000, 50);
        return;
    }
    Tones::Beep(1000, 50);
    Tones::Beep(1500, 50);
    Tones::Beep(1000, 50);
    m_host.PowerOff();
}
