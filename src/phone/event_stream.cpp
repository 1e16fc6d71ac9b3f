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

EventStream::EventStream(ConnectionLimits limits, QObject *parent)
    : QObject(parent)
    , m_limits(limits)
{
    m_heartbeat.setInterval(kHeartbeatMs);
    // A named event rather than a comment: the page sees it, and knows the connection lives.
    connect(&m_heartbeat, &QTimer::timeout, this,
            [this] { writeAll([](const QString &) { return QByteArrayLiteral("event: ping\ndata: 1\n\n"); }); });
    m_heartbeat.start();
}

void EventStream::add(QTcpSocket *socket, const QString &phone, const QString &address)
{
    forgetClosed();
    keepNewest([&address](const Listener &l) { return l.address == address; }, m_limits.streamsPerAddress - 1);
    if (!phone.isEmpty())
        keepNewest([&phone](const Listener &l) { return l.phone == phone; }, m_limits.streamsPerPhone - 1);
    m_listeners.push_back({socket, phone, address});
}

void EventStream::forgetClosed()
{
    std::erase_if(m_listeners, [](const Listener &l) {
        return !l.socket || l.socket->state() != QAbstractSocket::ConnectedState;
    });
}

void EventStream::keepNewest(const std::function<bool(const Listener &)> &match, int keep)
{
    qsizetype extra = std::count_if(m_listeners.begin(), m_listeners.end(), match) - keep;
    std::erase_if(m_listeners, [&](const Listener &l) {
        if (extra <= 0 || !match(l))
            return false;
        --extra;
        l.socket->abort();
        return true;
    });
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
    forgetClosed();
    for (const Listener &listener : m_listeners) {
        if (listener.socket->bytesToWrite() > m_limits.maxUnsentBytes)
            listener.socket->abort();
        else
            listener.socket->write(write(listener.phone));
    }
}
