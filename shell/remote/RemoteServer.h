#pragma once

#include "RemoteProtocol.h"

#include <QObject>
#include <QStringList>

class QTcpSocket;
class QTimer;
class RemoteHost;
class RemoteListener;

// The shell's side of the remote control: the listener Winsock1(0), the one
// console connection Winsock1(1) and the command words the console sends.
//
// When the parent has set a password, a client proves that it knows it by
// answering the "/pw#" challenge; until then it may read ("/tm", "/sl",
// "/bl") but not steer ("/rt", "/ex", "/sd"). The password itself never
// crosses the network.
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

    // A connection that sends nothing for this long is closed, so that a
    // console that vanished does not keep the slot from the next one.
    void setIdleTimeout(int milliseconds);

private:
    void ConnectionRequest(qintptr descriptor);
    bool PeerHasClosed() const;
    void DataArrival();
    void Drain();
    void Dispatch(const QString &message);
    void Reply(quint64 connection, const QString &text);

    QString ButtonList() const;
    void Authenticate(quint64 connection, const QString &answer);
    bool MaySteer() const;
    void ResetTime(quint64 connection, const QString &playTime);
    void Execute(quint64 connection, const QString &argument);
    void ShutDown(quint64 connection);

    RemoteHost &m_host;
    RemoteListener *m_listener = nullptr; // Winsock1(0)
    QTcpSocket *m_connection = nullptr;   // Winsock1(1)
    QTimer *m_idleTimer = nullptr;

    // Per connection: the number of the accepted connection (so a reply never
    // goes to a later console), received messages not yet handled, and the
    // authentication state.
    quint64 m_serial = 0;
    RemoteProtocol::Reader m_reader;
    QStringList m_queue;
    QString m_challenge;
    QString m_provenKey; // the password (lower case) a good answer proved
    int m_wrongAnswers = 0;
};
