#include "phone/event_stream.h"

#include <QTcpSocket>

EventStream::EventStream(QObject *parent)
    : QObject(parent)
{
    m_heartbeat.setInterval(kHeartbeatMs);
    // A named event rather than a comment: the page sees it, and knows the connection lives.
    connect(&m_heartbeat, &QTimer::timeout, this, [this] { write(QByteArrayLiteral("event: ping\ndata: 1\n\n")); });
    m_heartbeat.start();
}

void EventStream::add(QTcpSocket *socket)
{
    m_sockets.append(socket);
}

QByteArray EventStream::opening(const QByteArray &data)
{
    return QByteArrayLiteral("retry: 2000\n\n") + event(data);
}

void EventStream::send(const QByteArray &data)
{
    write(event(data));
}

QByteArray EventStream::event(const QByteArray &data)
{
    return QByteArrayLiteral("data: ") + data + QByteArrayLiteral("\n\n");
}

void EventStream::write(const QByteArray &bytes)
{
    m_sockets.removeIf([](const QPointer<QTcpSocket> &s) { return !s || s->state() != QAbstractSocket::ConnectedState; });
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_sockets)) {
        if (socket->bytesToWrite() > kMaxUnsentBytes)
            socket->abort();
        else
            socket->write(bytes);
    }
}
