#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

class QTcpSocket;
class QueueViewJson;

// The live queue: phones that keep a server-sent-events connection open get every new queue
// at once, each with its own songs. A ping every kHeartbeatMs keeps the connection alive
// through sleeping Wi-Fi; a phone that stops reading (its unsent data grows past
// kMaxUnsentBytes) is dropped and reconnects by itself when it wakes.
class EventStream : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeartbeatMs = 15000;
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    explicit EventStream(QObject *parent = nullptr);

    // socket has had the response headers and the opening: it gets every queue from now on.
    void add(QTcpSocket *socket, const QString &phone);
    void send(const QueueViewJson &queue);
    int listeners() const { return int(m_listeners.size()); }

    // What a new listener gets first: how soon to reconnect after a drop, and the data now.
    static QByteArray opening(const QByteArray &data);

private:
    struct Listener
    {
        QPointer<QTcpSocket> socket;
        QString phone;
    };
    // Writes to every listener still there what write gives for its phone.
    template <typename Write>
    void writeAll(Write write);

    std::vector<Listener> m_listeners;
    QTimer m_heartbeat{this}; // a child, so it moves to the server's thread with the stream
};
