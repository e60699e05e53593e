#include "RemoteListener.h"

RemoteListener::RemoteListener(QObject *parent)
    : QTcpServer(parent)
{
}

void RemoteListener::incomingConnection(qintptr descriptor)
{
    emit connectionRequest(descriptor);
}
