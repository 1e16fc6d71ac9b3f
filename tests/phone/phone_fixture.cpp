#include "phone/phone_fixture.h"

#include "core/lookups.h"
#include "core/queue_store.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
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
    PhoneConfig config = PhoneConfig::of(home.state);
    config.listen = QHostAddress::LocalHost;
    config.port = 0;
    config.token = kToken;
    phone = std::make_unique<PhoneOrdering>(home.state, config, writer.get());
    QSignalSpy address(phone.get(), &PhoneOrdering::urlChanged);
    ASSERT_TRUE(address.wait(5000)) << phone->problem().toStdString();
    const QUrl url(phone->url());
    base = QStringLiteral("http://127.0.0.1:%1").arg(url.port());
    ASSERT_EQ(url.path(), QLatin1Char('/') + kToken + QLatin1Char('/'));
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
