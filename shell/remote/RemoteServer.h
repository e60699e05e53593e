#pragma once

#include "AnswerGate.h"
#include "PasswordKey.h"
#include "RemoteProtocol.h"

#include <QObject>
#include <QStringList>

#include <optional>

class QTcpSocket;
class QTimer;
class RemoteHost;
class RemoteListener;

// The shell's side of the remote control: the listener Winsock1(0), the one
// console connection Winsock1(1) and the command words the console sends.
//
// When the parent has set a password, a client proves that it knows it by
// answering the "/pw#" challenge with the password's slow-derived key; until
// then it may read ("/tm", "/td", "/sl", "/bl") but not steer ("/rt", "/ex",
// "/sd", "/xt", "/lk").
// The password itself never crosses the network. A sibling on the network
// meets costly guesses, a slot that the parent can always take, and bounded
// buffers.
class RemoteServer : public QObject
{
    Q_OBJECT

public:
    explicit RemoteServer(RemoteHost &host, QObject *parent = nullptr);

    // Listens on every local address. False when the port cannot be had; the
    // caller logs ErrorString() and the shell goes on without remote control.
    bool Listen(quint16 port = RemoteProtocol::ShellPort());
    QString ErrorString() const;
    quint16 Port() const;

    // A connection without a complete message for this long is closed, so that
    // a console that vanished, or one that trickles bytes, frees the slot.
    void setIdleTimeout(int milliseconds);
    // While a password is set, a connection that has not proven it this long
    // after it was accepted is closed.
    void setAuthTimeout(int milliseconds);

private:
    void ConnectionRequest(qintptr descriptor);
    bool PeerHasClosed() const;
    void Closed();
    void Drain();
    bool ReadMore();
    void Dispatch(const QString &message);
    void Reply(quint64 connection, const QString &text);

    QString ButtonList() const;
    void Challenge(quint64 connection);
    void Authenticate(quint64 connection, const QString &answer);
    void LogRefusal(const QHostAddress &from);
    bool MaySteer() const;
    void ResetTime(quint64 connection, const QString &playTime);
    QString Today() const;
    void ExtraTime(quint64 connection, const QString &minutes);
    void Lock(quint64 connection, const QString &onOff);
    void Execute(quint64 connection, const QString &argument);
    void ShutDown(quint64 connection);

    RemoteHost &m_host;
    RemoteListener *m_listener = nullptr; // Winsock1(0)
    QTcpSocket *m_connection = nullptr;   // Winsock1(1)
    QTimer *m_idleTimer = nullptr;
    QTimer *m_authTimer = nullptr;
    AnswerGate m_gate;
    std::optional<qint64> m_loggedMs; // the last refusal written to the log
    QString m_displaced;              // the address an unproven slot was last taken from
    qint64 m_displacedAtMs = 0;

    // Per connection: the number of the accepted connection (so a reply never
    // goes to a later console), received messages not yet handled, and the
    // authentication state.
    quint64 m_serial = 0;
    RemoteProtocol::Reader m_reader;
    QStringList m_queue;
    QString m_nonce;      // of the challenge not answered yet
    PasswordKey m_proven; // the key a right answer was made with
    int m_wrongAnswers = 0;
    qint64 m_moved = 0; // bytes received and sent
};
