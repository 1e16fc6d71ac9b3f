#pragma once

#include "phone/connection_limits.h"

#include <QHash>
#include <QTcpServer>
#include <QTimer>

class QHostAddress;
class QTcpSocket;

// The listening socket of the phone server. A room's network is shared with strangers'
// phones, so it keeps what they can take from the jukebox within ConnectionLimits: connections
// in all and per address; a request that grows past maxRequestBytes is cut off, never
// buffered, and one that has not arrived whole in time is cut off however slowly it trickles;
// an answer to a request that asked to close (or to an HTTP/1.0 request) closes the
// connection. A connection that carries the live queue stays open while the phone listens.
class GuardedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit GuardedTcpServer(ConnectionLimits limits, QObject *parent = nullptr);
    int openConnections() const { return m_open; }

    // What a client is counted under: its address, an IPv4 one written as such even when it
    // reached a server listening on IPv6.
    static QString addressKey(const QHostAddress &address);
    // A whole request has arrived on socket, with its Connection header: now its answer is due.
    static void requestComplete(QTcpSocket *socket, const QByteArray &connectionHeader);
    // socket now carries the live queue: it stays open while the phone listens.
    static void keepOpen(QTcpSocket *socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void admit(QTcpSocket *socket, const QString &address);
    void acceptFailed();

    ConnectionLimits m_limits;
    int m_open = 0;
    QHash<QString, int> m_perAddress;
    QTimer m_resume;
    bool m_toldAcceptFailure = false;
};
