#include "RemoteServer.h"

#include "Clock.h"
#include "Cp1252.h"
#include "RemoteHost.h"
#include "RemoteListener.h"
#include "Tones.h"
#include "base/TimeLimitStore.h"
#include "base/modGlobals.h"
#include "playtime/DayRules.h"
#include "playtime/PlayTime.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int DefaultIdleMs = 60 * 1000;
constexpr int DefaultAuthMs = 20 * 1000;
constexpr int MaxWrongAnswers = 3;
constexpr qint64 LogEveryMs = 60 * 1000;

// A client that sends faster than it reads its replies is held back: above
// PauseAbove unsent bytes nothing more is read (TCP then stops the client),
// above DropAbove the connection goes. Received data is taken in small
// pieces and Qt buffers at most ReadBuffer bytes of it; nothing else of an
// unfinished message is kept.
constexpr qint64 PauseAboveBytes = 256 * 1024;
constexpr qint64 DropAboveBytes = 1024 * 1024;
constexpr qint64 ReadBufferBytes = 64 * 1024;
constexpr qint64 ReadPieceBytes = 4 * 1024;
// The kernel's share of the unsent replies (it doubles this); on loopback it
// would otherwise take megabytes.
constexpr qint64 KernelSendBytes = 64 * 1024;
// After a connection that moved this much, freed memory goes back to the system.
constexpr qint64 TrimAfterBytes = 64 * 1024;

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
    , m_authTimer(new QTimer(this))
    , m_reader(0)
{
    m_listener->setObjectName(QStringLiteral("Winsock1(0)"));
    m_connection->setObjectName(QStringLiteral("Winsock1(1)"));
    m_connection->setReadBufferSize(ReadBufferBytes);
    m_idleTimer->setObjectName(QStringLiteral("IdleTimer"));
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(DefaultIdleMs);
    m_authTimer->setObjectName(QStringLiteral("AuthTimer"));
    m_authTimer->setSingleShot(true);
    m_authTimer->setInterval(DefaultAuthMs);

    connect(m_listener, &RemoteListener::connectionRequest, this, &RemoteServer::ConnectionRequest);
    // channelReadyRead, unlike readyRead, also arrives while a command (a
    // started program in run-and-wait mode) runs a nested event loop, so the
    // console's polls are still answered then.
    connect(m_connection, &QTcpSocket::channelReadyRead, this, &RemoteServer::Drain);
    // Replies leaving resume a client that was held back; queued, since a
    // reply's own flush reports them.
    connect(m_connection, &QTcpSocket::bytesWritten, this, &RemoteServer::Drain, Qt::QueuedConnection);
    connect(m_connection, &QTcpSocket::disconnected, this, &RemoteServer::Closed);
    connect(m_idleTimer, &QTimer::timeout, m_connection, &QTcpSocket::abort);
    connect(m_authTimer, &QTimer::timeout, this, [this] {
        if (!MaySteer())
            m_connection->abort();
    });
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

void RemoteServer::setAuthTimeout(int milliseconds)
{
    m_authTimer->setInterval(milliseconds);
}

void RemoteServer::ConnectionRequest(qintptr descriptor)
{
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    const QString from = ::getpeername(int(descriptor), reinterpret_cast<sockaddr *>(&peer), &size) == 0
                             ? AnswerGate::AddressText(QHostAddress(reinterpret_cast<sockaddr *>(&peer)))
                             : QString();
    if (m_connection->state() == QAbstractSocket::ConnectedState && !PeerHasClosed()) {
        // One console at a time. The parent's keeps the slot; a connection
        // that has not proven the password gives it up to a newcomer, so that
        // a sibling cannot hold it. The address it was taken from may not
        // take it back for as long as proving may take, or a sibling that
        // connects again and again would never let the parent finish.
        const QString holder = AnswerGate::AddressText(m_connection->peerAddress());
        const bool takingBack = !from.isEmpty() && from == m_displaced
                                && Clock::steadyMs() - m_displacedAtMs < m_authTimer->interval();
        if (takingBack || MaySteer()) {
            ::close(int(descriptor));
            return;
        }
        if (holder != from) {
            m_displaced = holder;
            m_displacedAtMs = Clock::steadyMs();
        }
    }
    m_connection->abort();
    ++m_serial;
    m_reader.Reset();
    m_queue.clear();
    m_nonce.clear();
    m_proven = {};
    m_wrongAnswers = 0;
    m_moved = 0;
    if (!m_connection->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        return;
    }
    m_connection->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_connection->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, int(KernelSendBytes));
    m_idleTimer->start();
    m_authTimer->start();
    Reply(m_serial, QStringLiteral("/we") + (m_host.Locked() ? QStringLiteral("L") : QString())
                        + (m_host.ExpiredDialogOpen() ? QStringLiteral("!") : QString()));
}

bool RemoteServer::PeerHasClosed() const
{
    // The hang-up may still wait in the kernel behind this very request.
    char byte;
    const ssize_t n = ::recv(int(m_connection->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void RemoteServer::Closed()
{
    m_idleTimer->stop();
    m_authTimer->stop();
    m_queue = QStringList();
    m_reader.Reset();
#ifdef __GLIBC__
    // The allocator keeps freed memory for reuse; after a flood it would stay.
    if (std::exchange(m_moved, 0) > TrimAfterBytes)
        malloc_trim(0);
#endif
}

void RemoteServer::Drain()
{
    // A nested call (from a command's event loop) takes the next messages in
    // order; the outer one then finds the queue empty.
    const quint64 serial = m_serial;
    while (serial == m_serial && m_connection->state() == QAbstractSocket::ConnectedState
           && m_connection->bytesToWrite() <= PauseAboveBytes) {
        if (!m_queue.isEmpty())
            Dispatch(m_queue.takeFirst());
        else if (!ReadMore())
            return;
    }
}

bool RemoteServer::ReadMore()
{
    const QByteArray piece = m_connection->read(ReadPieceBytes);
    if (piece.isEmpty())
        return false;
    m_moved += piece.size();
    bool complete = false;
    for (const RemoteProtocol::Message &message : m_reader.Feed(piece)) {
        complete = complete || !RemoteProtocol::Word(message.text).isEmpty();
        m_queue.append(message.text);
    }
    // Bytes alone are no sign of life: a sibling could trickle them forever.
    if (complete)
        m_idleTimer->start();
    return true;
}

void RemoteServer::Reply(quint64 connection, const QString &text)
{
    // Sent at once rather than on the next turn of the event loop.
    if (connection == m_serial && m_connection->state() == QAbstractSocket::ConnectedState) {
        const QByteArray bytes = Cp1252::encode(text);
        m_moved += bytes.size();
        m_connection->write(bytes);
        m_connection->flush();
        if (m_connection->bytesToWrite() > DropAboveBytes)
            m_connection->abort();
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
        const QString state = m_host.Locked()        ? QStringLiteral("/lk")
                              : m_host.ClockPaused() ? QStringLiteral("/sp")
                                                     : QStringLiteral("/sl");
        Reply(connection, state + QString::number(m_host.TimeLeftSeconds()));
    } else if (word == QLatin1String("/td")) {
        Reply(connection, Today());
    } else if (word == QLatin1String("/bl")) {
        Reply(connection, ButtonList());
    } else if (word == QLatin1String("/pw")) {
        Challenge(connection);
    } else if (word == QLatin1String("/au")) {
        Authenticate(connection, argument);
    } else if (word == QLatin1String("/rt") || word == QLatin1String("/ex") || word == QLatin1String("/sd")
               || word == QLatin1String("/xt") || word == QLatin1String("/lk")) {
        if (!MaySteer())
            Reply(connection, QStringLiteral("/er"));
        else if (word == QLatin1String("/rt"))
            ResetTime(connection, argument);
        else if (word == QLatin1String("/xt"))
            ExtraTime(connection, argument);
        else if (word == QLatin1String("/lk"))
            Lock(connection, argument);
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

void RemoteServer::Challenge(quint64 connection)
{
    const PasswordKey key = m_host.ParentKey();
    m_nonce = key.isNull() ? QString() : RemoteProtocol::NewNonce();
    Reply(connection, key.isNull() ? QStringLiteral("/pw")
                                   : RemoteProtocol::ChallengeMessage(m_nonce, key.salt, key.iterations));
}

void RemoteServer::Authenticate(quint64 connection, const QString &answer)
{
    const QString nonce = std::exchange(m_nonce, QString()); // one answer per challenge
    const QHostAddress from = m_connection->peerAddress();
    if (!m_gate.Admit(from)) {
        // Not judged; the seconds tell a console when to try again.
        LogRefusal(from);
        Reply(connection, QStringLiteral("/er") + QString::number(m_gate.SecondsToWait(from)));
        return;
    }
    const PasswordKey key = m_host.ParentKey();
    const bool good = !nonce.isEmpty() && !key.isNull()
                      && RemoteProtocol::SameAnswer(RemoteProtocol::Answer(nonce, key.key), answer);
    m_gate.Judged(from, good);
    if (good) {
        m_proven = key;
        Reply(connection, QStringLiteral("/ok"));
        return;
    }
    LogRefusal(from);
    Reply(connection, QStringLiteral("/er"));
    if (++m_wrongAnswers >= MaxWrongAnswers)
        m_connection->disconnectFromHost();
}

void RemoteServer::LogRefusal(const QHostAddress &from)
{
    const qint64 now = Clock::steadyMs();
    if (m_loggedMs && now - *m_loggedMs < LogEveryMs)
        return;
    m_loggedMs = now;
    modGlobals::WriteLog(QStringLiteral("RemoteServer()::Wrong answers from %1 (%2 in a row), waiting %3 s")
                             .arg(AnswerGate::AddressText(from))
                             .arg(m_gate.WrongInARow(from))
                             .arg(m_gate.SecondsToWait(from)));
}

bool RemoteServer::MaySteer() const
{
    // A proof holds only for the key it was made with: a new password, and
    // with it a new salt, ends it.
    const PasswordKey key = m_host.ParentKey();
    return key.isNull() || (!m_proven.isNull() && m_proven == key);
}

void RemoteServer::ResetTime(quint64 connection, const QString &playTime)
{
    if (!m_host.ResetTime(playTime) && !playTime.isEmpty()) {
        Reply(connection, QStringLiteral("/er"));
        return;
    }
    if (m_host.ExpiredDialogOpen())
        m_host.ReleaseExpiredDialog();
    Reply(connection, QStringLiteral("/ok"));
}

void RemoteServer::Execute(quint64 connection, const QString &argument)
{
    // The dialogs go first, whatever the index turns out to be.
    if (m_host.PasswordDialogOpen())
        m_host.ClosePasswordDialog();
    if (m_host.ExpiredDialogOpen()) {
        m_host.ResetTime(QString());
        m_host.ReleaseExpiredDialog();
    }
    bool number = false;
    const int index = argument.trimmed().toShort(&number);
    bool linked = false;
    for (const RemoteHost::Button &button : m_host.LinkedButtons())
        linked = linked || button.index == index;
    if (!number || !linked) {
        Reply(connection, QStringLiteral("/er"));
        return;
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

QString RemoteServer::Today() const
{
    const std::optional<DayRules::Hours> hours = DayRules::FromStore().DayHours(Clock::now().date());
    return QStringLiteral("/td") + QString::number(std::max<qint64>(PlayTime::LimitSeconds(), 0) / 60)
           + QLatin1Char('#') + (hours ? hours->text() : QString());
}

void RemoteServer::ExtraTime(quint64 connection, const QString &minutes)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,3}$"));
    const int value = number.match(minutes).hasMatch() ? minutes.toInt() : 0;
    if (value < 1 || value > 600) {
        Reply(connection, QStringLiteral("/er"));
        return;
    }
    m_host.AddExtraTime(value);
    Reply(connection, QStringLiteral("/ok"));
}

void RemoteServer::Lock(quint64 connection, const QString &onOff)
{
    if (onOff != QLatin1String("1") && onOff != QLatin1String("0")) {
        Reply(connection, QStringLiteral("/er"));
        return;
    }
    m_host.SetLocked(onOff == QLatin1String("1"));
    Reply(connection, QStringLiteral("/ok"));
}
