#include "phone/event_stream.h"

#include "phone/queue_view.h"

#include <QTcpSocket>

#include <algorithm>

namespace {

QByteArray dataEvent(const QByteArray &data)
{
    return QByteArrayLiteral("data: ") + data + QByteArrayLiteral("\n\n");
}

} // namespace

EventStream::EventStream(QObject *parent)
    : QObject(parent)
{
    m_heartbeat.setInterval(kHeartbeatMs);
    // A named event rather than a comment: the page sees it, and knows the connection lives.
    connect(&m_heartbeat, &QTimer::timeout, this,
            [this] { writeAll([](const QString &) { return QByteArrayLiteral("event: ping\ndata: 1\n\n"); }); });
    m_heartbeat.start();
}

void EventStream::add(QTcpSocket *socket, const QString &phone)
{
    m_listeners.push_back({socket, phone});
}

void EventStream::send(const QueueViewJson &queue)
{
    const QByteArray common = dataEvent(queue.forPhone(QString()));
    writeAll([&](const QString &phone) {
        return queue.hasSongsFurtherDown(phone) ? dataEvent(queue.forPhone(phone)) : common;
    });
}

QByteArray EventStream::opening(const QByteArray &data)
{
    return QByteArrayLiteral("retry: 2000\n\n") + dataEvent(data);
}

template <typename Write>
void EventStream::writeAll(Write write)
{
    std::erase_if(m_listeners, [](const Listener &l) {
        return !l.socket || l.socket->state() != QAbstractSocket::ConnectedState;
    });
    for (const Listener &listener : m_listeners) {
        if (listener.socket->bytesToWrite() > kMaxUnsentBytes)
            listener.socket->abort();
        else
            listener.socket->write(write(listener.phone));
    }
}
