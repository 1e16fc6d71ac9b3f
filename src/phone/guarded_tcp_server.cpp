#include "phone/guarded_tcp_server.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <unistd.h>

namespace {

// The request line is read this far at most to learn its HTTP version.
constexpr qsizetype kMaxRequestLine = 8192;

// What the guard knows of one connection; a child of its socket. The deadline runs for the
// request arriving, then for its answer going out, and stops for a live queue; bytes arriving
// never restart it.
class ConnectionWatch : public QObject
{
public:
    ConnectionWatch(QTcpSocket *socket, const ConnectionLimits &limits)
        : QObject(socket)
        , m_socket(socket)
        , m_limits(limits)
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
        m_deadline.start(m_limits.requestMs);
        // Connected before the HTTP server's own reader, so this sees every byte before it is parsed.
        connect(socket, &QTcpSocket::readyRead, this, &ConnectionWatch::bytesArrived);
        connect(socket, &QTcpSocket::bytesWritten, this, &ConnectionWatch::bytesSent);
    }

    void requestComplete(const QByteArray &connectionHeader)
    {
        const QByteArray connection = connectionHeader.toLower();
        m_closeAfterAnswer = connection.contains("close") || (m_http10 && !connection.contains("keep-alive"));
        m_received = 0;
        m_requestLine.clear();
        m_lineRead = false;
        m_answering = true;
        m_deadline.start(m_limits.answerMs);
    }

    void keepOpen()
    {
        m_streaming = true;
        m_deadline.stop();
    }

private:
    void bytesArrived()
    {
        const qint64 available = m_socket->bytesAvailable();
        m_received += available;
        if (!m_lineRead)
            readRequestLine(available);
        if (m_received > m_limits.maxRequestBytes)
            m_socket->abort();
    }

    // HTTP/1.0 closes after each answer unless it asked to keep the connection.
    void readRequestLine(qint64 available)
    {
        m_requestLine += m_socket->peek(qMin(available, kMaxRequestLine - m_requestLine.size()));
        const qsizetype end = m_requestLine.indexOf('\n');
        if (end < 0 && m_requestLine.size() < kMaxRequestLine)
            return;
        m_lineRead = true;
        m_http10 = m_requestLine.left(end).trimmed().endsWith("HTTP/1.0");
    }

    void bytesSent()
    {
        if (!m_answering || m_streaming || m_socket->bytesToWrite() > 0)
            return;
        m_answering = false;
        if (m_closeAfterAnswer) {
            m_socket->disconnectFromHost();
            return;
        }
        m_deadline.start(m_limits.requestMs);
    }

    QTcpSocket *m_socket;
    const ConnectionLimits m_limits;
    QTimer m_deadline{this};
    qint64 m_received = 0;
    QByteArray m_requestLine;
    bool m_lineRead = false;
    bool m_http10 = false;
    bool m_closeAfterAnswer = false;
    bool m_answering = false;
    bool m_streaming = false;
};

constexpr const char *kWatchProperty = "karaokeConnectionWatch";

ConnectionWatch *watchOf(QTcpSocket *socket)
{
    return socket ? static_cast<ConnectionWatch *>(socket->property(kWatchProperty).value<QObject *>()) : nullptr;
}

} // namespace

GuardedTcpServer::GuardedTcpServer(ConnectionLimits limits, QObject *parent)
    : QTcpServer(parent)
    , m_limits(limits)
{
    // A room's phones arrive together (a song everyone wants, the page opened at once), maybe
    // among a stranger's flood: the kernel keeps them waiting to be accepted instead of
    // dropping them, and a dropped phone would try again only after a second or more.
    setListenBacklogSize(4 * m_limits.inAll);
    setMaxPendingConnections(m_limits.inAll);
    m_resume.setSingleShot(true);
    m_resume.setInterval(m_limits.acceptRetryMs);
    connect(&m_resume, &QTimer::timeout, this, &QTcpServer::resumeAccepting);
    // QTcpServer stops accepting for good after an error other than a passing one.
    connect(this, &QTcpServer::acceptError, this, &GuardedTcpServer::acceptFailed);
}

QString GuardedTcpServer::addressKey(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

void GuardedTcpServer::incomingConnection(qintptr descriptor)
{
    m_toldAcceptFailure = false;
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        delete socket;
        return;
    }
    const QString address = addressKey(socket->peerAddress());
    if (m_open >= m_limits.inAll || m_perAddress.value(address) >= m_limits.perAddress) {
        socket->abort();
        delete socket;
        return;
    }
    admit(socket, address);
    addPendingConnection(socket); // QTcpServer announces it with newConnection()
}

void GuardedTcpServer::admit(QTcpSocket *socket, const QString &address)
{
    ++m_open;
    ++m_perAddress[address];
    connect(socket, &QObject::destroyed, this, [this, address] {
        --m_open;
        if (--m_perAddress[address] <= 0)
            m_perAddress.remove(address);
    });
    socket->setProperty(kWatchProperty, QVariant::fromValue<QObject *>(new ConnectionWatch(socket, m_limits)));
}

void GuardedTcpServer::acceptFailed()
{
    if (!m_toldAcceptFailure)
        qWarning("phone ordering cannot accept a connection now (%s); trying again", qPrintable(errorString()));
    m_toldAcceptFailure = true;
    m_resume.start();
}

void GuardedTcpServer::requestComplete(QTcpSocket *socket, const QByteArray &connectionHeader)
{
    if (ConnectionWatch *watch = watchOf(socket))
        watch->requestComplete(connectionHeader);
}

void GuardedTcpServer::keepOpen(QTcpSocket *socket)
{
    if (ConnectionWatch *watch = watchOf(socket))
        watch->keepOpen();
}
