#include "phone/guarded_tcp_server.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

// What the guard knows of one connection; a child of its socket.
class ConnectionWatch : public QObject
{
public:
    explicit ConnectionWatch(QTcpSocket *socket)
        : QObject(socket)
        , idle(new QTimer(this))
    {
        idle->setSingleShot(true);
        idle->setInterval(GuardedTcpServer::kIdleMs);
        connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
        idle->start();
    }

    qint64 received = 0;
    QTimer *idle;
};

constexpr const char *kWatchProperty = "karaokeConnectionWatch";

ConnectionWatch *watchOf(QTcpSocket *socket)
{
    return socket ? static_cast<ConnectionWatch *>(socket->property(kWatchProperty).value<QObject *>()) : nullptr;
}

} // namespace

GuardedTcpServer::GuardedTcpServer(QObject *parent)
    : QTcpServer(parent)
{
    // A room's phones arrive together (a song everyone wants, the page opened at once): the
    // kernel keeps them waiting to be accepted instead of dropping them, and a dropped phone
    // would try again only after a second or more.
    setListenBacklogSize(kMaxConnections);
    setMaxPendingConnections(kMaxConnections);
}

void GuardedTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor) || m_open >= kMaxConnections) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] { --m_open; });
    auto *watch = new ConnectionWatch(socket);
    socket->setProperty(kWatchProperty, QVariant::fromValue<QObject *>(watch));
    // Connected before the HTTP server's own reader, so this sees every byte before it is parsed.
    connect(socket, &QTcpSocket::readyRead, watch, [socket, watch] {
        watch->received += socket->bytesAvailable();
        if (watch->idle->isActive())
            watch->idle->start();
        if (watch->received > kMaxRequestBytes)
            socket->abort();
    });
    addPendingConnection(socket); // QTcpServer announces it with newConnection()
}

void GuardedTcpServer::requestComplete(QTcpSocket *socket)
{
    if (ConnectionWatch *watch = watchOf(socket))
        watch->received = 0;
}

void GuardedTcpServer::keepOpen(QTcpSocket *socket)
{
    if (ConnectionWatch *watch = watchOf(socket))
        watch->idle->stop();
}
