#pragma once

#include <QTcpServer>

// The listening socket. It hands each connection request on as a bare
// descriptor, so the one connection socket of the server can take it over.
class RemoteListener : public QTcpServer
{
    Q_OBJECT

public:
    explicit RemoteListener(QObject *parent = nullptr);

signals:
    void connectionRequest(qintptr descriptor);

protected:
    void incomingConnection(qintptr descriptor) override;
};
