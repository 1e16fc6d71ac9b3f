#include "phone/phone_fixture.h"

#include "core/lookups.h"
#include "core/queue_store.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

PhoneFixture::PhoneFixture()
{
    network.setProxy(QNetworkProxy::NoProxy);
}

PhoneFixture::~PhoneFixture()
{
    phone.reset();
    keep.reset();
    writer.reset();
}

void PhoneFixture::SetUp()
{
    ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
    const qint64 jay = home.catalogue.addSinger(QStringLiteral("周杰倫"), 1);
    const qint64 faye = home.catalogue.addSinger(QStringLiteral("王菲"), 0);
    home.catalogue.addSong(QStringLiteral("100001"), 1, QStringLiteral("晴天"), jay);
    home.catalogue.addSong(QStringLiteral("100002"), 1, QStringLiteral("七里香"), jay);
    home.catalogue.addSong(QStringLiteral("100003"), 1, QStringLiteral("紅豆"), faye);
    home.catalogue.addSong(QStringLiteral("100004"), 7, QStringLiteral("容易受傷的女人"), faye);

    writer = std::make_unique<QueueWriter>(home.state.DbPath, std::vector<QueueRow>{});
    keep = home.state.OrderedSongs.subscribe([this] { writer->save(home.state.OrderedSongs); });
    restartPhones({});
}

void PhoneFixture::restartPhones(const std::function<void(PhoneConfig &)> &change)
{
    startPhonesOn(home.state, writer.get(), change);
}

void PhoneFixture::startPhonesOn(SharedState &state, QueueWriter *queueWriter,
                                 const std::function<void(PhoneConfig &)> &change)
{
    phone.reset();
    PhoneConfig config = PhoneConfig::of(state);
    config.listen = QHostAddress::LocalHost;
    config.port = 0;
    config.token = kToken;
    if (change)
        change(config);
    phone = std::make_unique<PhoneOrdering>(state, config, queueWriter);
    QSignalSpy address(phone.get(), &PhoneOrdering::urlChanged);
    ASSERT_TRUE(address.wait(5000)) << phone->problem().toStdString();
    const QUrl url(phone->url());
    base = QStringLiteral("http://127.0.0.1:%1").arg(url.port());
    ASSERT_EQ(url.path(), QLatin1Char('/') + kToken + QLatin1Char('/'));
}

quint16 PhoneFixture::port() const
{
    return quint16(QUrl(base).port());
}

QByteArray PhoneFixture::httpRequest(const QByteArray &method, const QString &path, const QByteArray &body,
                                     const QByteArray &headers) const
{
    QByteArray request = method + " /" + kToken.toUtf8() + '/' + path.toUtf8() + " HTTP/1.1\r\n" + headers;
    if (!headers.contains("Host:"))
        request += "Host: 127.0.0.1:" + QByteArray::number(port()) + "\r\n";
    if (!body.isEmpty() || method == "POST") {
        if (!headers.contains("Content-Type"))
            request += "Content-Type: application/json\r\n";
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    return request + "\r\n" + body;
}

PhoneReply PhoneFixture::from(const QHostAddress &address, const QByteArray &method, const QString &path,
                              const QByteArray &body, const QByteArray &headers)
{
    RawConnection connection(port(), address);
    connection.write(httpRequest(method, path, body, headers));
    return connection.answer();
}

RawConnection::RawConnection(quint16 port, const QHostAddress &from)
{
    m_socket.bind(from);
    m_socket.connectToHost(QHostAddress::LocalHost, port);
    m_socket.waitForConnected(5000);
}

void RawConnection::write(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

PhoneReply RawConnection::answer(int ms)
{
    PhoneReply reply;
    // A reply that never came has status 0.
    (void)QTest::qWaitFor(
        [&] {
            m_buffer += m_socket.readAll();
            const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return m_socket.state() == QAbstractSocket::UnconnectedState; // closed unanswered
            const QByteArray headers = m_buffer.left(headerEnd);
            const qsizetype at = headers.toLower().indexOf("content-length:");
            const qint64 length =
                at < 0 ? 0 : headers.mid(at + 15, headers.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
            if (m_buffer.size() < headerEnd + 4 + length)
                return false;
            reply.status = m_buffer.mid(9, 3).toInt();
            reply.headers = headers;
            reply.body = m_buffer.mid(headerEnd + 4, length);
            m_buffer.remove(0, headerEnd + 4 + length);
            return true;
        },
        ms);
    reply.json = QJsonDocument::fromJson(reply.body).object();
    return reply;
}

bool RawConnection::closedWithin(int ms)
{
    return QTest::qWaitFor(
        [&] {
            m_socket.readAll();
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        ms);
}

QNetworkReply *PhoneFixture::send(const QByteArray &method, const QString &absolutePath, const QByteArray &body)
{
    QNetworkRequest request(QUrl(base + absolutePath));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return network.sendCustomRequest(request, method, body);
}

PhoneReply PhoneFixture::request(const QByteArray &method, const QString &absolutePath, const QByteArray &body)
{
    return wait(send(method, absolutePath, body));
}

PhoneReply PhoneFixture::wait(QNetworkReply *reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    PhoneReply answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.json = QJsonDocument::fromJson(answer.body).object();
    reply->deleteLater();
    return answer;
}

PhoneReply PhoneFixture::get(const QString &path)
{
    return request("GET", QLatin1Char('/') + kToken + QLatin1Char('/') + path);
}

PhoneReply PhoneFixture::post(const QString &path, const QJsonObject &body)
{
    return request("POST", QLatin1Char('/') + kToken + QLatin1Char('/') + path,
                   QJsonDocument(body).toJson(QJsonDocument::Compact));
}

QByteArray PhoneFixture::orderBody(const QString &number, const QString &phoneId, const QString &name)
{
    return QJsonDocument(QJsonObject{{"num", number}, {"name", name}, {"phone", phoneId}}).toJson(QJsonDocument::Compact);
}

PhoneReply PhoneFixture::order(const QString &number, const QString &phoneId, const QString &name)
{
    return request("POST", QLatin1Char('/') + kToken + QStringLiteral("/api/order"), orderBody(number, phoneId, name));
}

QStringList PhoneFixture::queue() const
{
    QStringList lines;
    for (const QueueRow &row : home.state.OrderedSongs.rows())
        lines.append(row.key + (row.by.name.isEmpty() ? QString() : QStringLiteral(" by ") + row.by.name));
    return lines;
}

QStringList PhoneFixture::keptQueue()
{
    QStringList lines;
    for (const QueueRow &row : QueueStore::load(home.reader).rows)
        lines.append(row.key + (row.by.name.isEmpty() ? QString() : QStringLiteral(" by ") + row.by.name));
    return lines;
}
