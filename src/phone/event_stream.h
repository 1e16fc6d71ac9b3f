#pragma once

#include "phone/connection_limits.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <vector>

class QTcpSocket;
class QueueViewJson;

// The live queue: phones that keep a server-sent-events connection open get every new queue
// at once, each with its own songs. A ping every kHeartbeatMs keeps the connection alive
// through sleeping Wi-Fi; a phone that stops reading (its unsent data grows past the limit)
// is dropped and reconnects by itself when it wakes. An address or a phone keeps only its
// newest few live queues: a new one drops the oldest, which a phone back from sleep may have
// left half open.
class EventStream : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeartbeatMs = 15000;

    explicit EventStream(ConnectionLimits limits, QObject *parent = nullptr);

    // socket has had the response headers and the opening: it gets every queue from now on.
    void add(QTcpSocket *socket, const QString &phone, const QString &address);
    void send(const QueueViewJson &queue);
    int listeners() const { return int(m_listeners.size()); }

    // What a new listener gets first: how soon to reconnect after a drop, and the data now.
    static QByteArray opening(const QByteArray &data);

private:
    struct Listener
    {
        QPointer<QTcpSocket> socket;
        QString phone;
        QString address;
    };
    // Writes to every listener still there what write gives for its phone.
    template <typename Write>
    void writeAll(Write write);
    void forgetClosed();
    // Drops the oldest listeners that match until at most keep of them are left.
    void keepNewest(const std::function<bool(const Listener &)> &match, int keep);

    ConnectionLimits m_limits;
    std::vector<Listener> m_listeners;
    QTimer m_heartbeat{this}; // a child, so it moves to the server's thread with the stream
};
