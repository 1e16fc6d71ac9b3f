#pragma once

#include <QTcpServer>

class QTcpSocket;

// The listening socket of the phone server. A room's network is shared with strangers'
// phones, so it keeps what they can take from the jukebox small: at most kMaxConnections at
// once, at most kMaxRequestBytes received on a connection before its request is complete (a
// larger request is cut off, never buffered), and a connection idle for kIdleMs is closed
// unless it carries the live queue.
class GuardedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    static constexpr int kMaxConnections = 1000;
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr int kIdleMs = 30000;

    explicit GuardedTcpServer(QObject *parent = nullptr);
    int openConnections() const { return m_open; }

    // A whole request has arrived on socket: counting starts again for the next one.
    static void requestComplete(QTcpSocket *socket);
    // socket now carries the live queue: it stays open while the phone listens.
    static void keepOpen(QTcpSocket *socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    int m_open = 0;
};
