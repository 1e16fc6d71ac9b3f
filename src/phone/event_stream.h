#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

// The live queue: phones that keep a server-sent-events connection open get every new queue
// at once. A ping every kHeartbeatMs keeps the connection alive through sleeping
// Wi-Fi; a phone that stops reading (its unsent data grows past kMaxUnsentBytes) is dropped
// and reconnects by itself when it wakes.
class EventStream : public QObject
{
    Q_OBJECT

public:
    static constexpr int kHeartbeatMs = 15000;
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;

    explicit EventStream(QObject *parent = nullptr);

    // socket has had the response headers and the opening: it gets every event from now on.
    void add(QTcpSocket *socket);
    void send(const QByteArray &data);
    int listeners() const { return int(m_sockets.size()); }

    // One event of the stream carrying data (a line of JSON).
    static QByteArray event(const QByteArray &data);
    // What a new listener gets first: how soon to reconnect after a drop, and the data now.
    static QByteArray opening(const QByteArray &data);

private:
    void write(const QByteArray &bytes);

    QList<QPointer<QTcpSocket>> m_sockets;
    QTimer m_heartbeat{this}; // a child, so it moves to the server's thread with the stream
};
