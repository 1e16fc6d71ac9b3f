#include "phone/jukebox_process.h"

#include "support/process_watch.h"

#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

JukeboxHome::JukeboxHome()
{
    if (!home.init.ok)
        return;
    home.catalogue.addSong("100001", 1, "晴天", home.catalogue.addSinger("周杰倫", 1));
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    port = probe.serverPort();
    const QString lines = QStringLiteral("PhonePort = %1\r\nPhoneListen = 127.0.0.1\r\nPhoneToken = %2\r\n")
                              .arg(port)
                              .arg(JukeboxProcess::kToken);
    home.home.write("Setting.ini", home.home.read("Setting.ini") + lines.toUtf8());
}

JukeboxProcess::JukeboxProcess(const QString &home, quint16 port, const QProcessEnvironment &extra)
    : m_base(QStringLiteral("http://127.0.0.1:%1/%2/api/").arg(port).arg(kToken))
{
    m_network.setProxy(QNetworkProxy::NoProxy);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(extra);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ProcessWatch::limitChildMemory(m_process, kMemoryLimit);
    m_process.start(QStringLiteral(KARAOKE_BINARY), {"--home", home, "--clock-speed", "4"});
    m_process.waitForStarted(10000);
}

std::optional<QJsonObject> JukeboxProcess::queue()
{
    for (int tries = 0; tries < 200 && running(); ++tries) {
        QNetworkReply *reply = m_network.get(QNetworkRequest(QUrl(m_base + "queue")));
        if (QTest::qWaitFor([reply] { return reply->isFinished(); }, 2000) && reply->error() == QNetworkReply::NoError) {
            const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
            reply->deleteLater();
            return answer;
        }
        reply->deleteLater();
        QTest::qWait(100);
    }
    return std::nullopt;
}

void JukeboxProcess::order(QSet<qint64> &ok)
{
    // Each phone from a loopback address of its own, as in a room: the jukebox limits orders per address.
    const int phone = ++m_phones;
    auto *socket = new QTcpSocket(&m_network);
    socket->bind(QHostAddress(QStringLiteral("127.0.%1.%2").arg(1 + phone / 250).arg(1 + phone % 250)));
    const QByteArray body = QJsonDocument(QJsonObject{{"num", "100001"},
                                                      {"name", "客人"},
                                                      {"phone", QStringLiteral("phone%1").arg(phone, 16, 10, QLatin1Char('0'))}})
                                .toJson(QJsonDocument::Compact);
    const QUrl url(m_base + "order");
    QObject::connect(socket, &QTcpSocket::connected, socket, [socket, url, body] {
        socket->write("POST " + url.path().toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                      "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\n\r\n" + body);
    });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [socket, &ok] {
        const QByteArray answer = socket->readAll();
        const QJsonObject json = QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
        if (answer.startsWith("HTTP/1.1 200") && json["ok"].toBool())
            ok.insert(json["id"].toInteger());
        socket->deleteLater();
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [socket] {
        if (socket->state() == QAbstractSocket::UnconnectedState)
            socket->deleteLater();
    });
    socket->connectToHost(QHostAddress::LocalHost, quint16(url.port()));
}

QJsonObject JukeboxProcess::orderNow(const QString &number, const QString &name)
{
    const QString phone = QStringLiteral("phone%1").arg(++m_phones, 16, 10, QLatin1Char('0'));
    QNetworkRequest request(QUrl(m_base + "order"));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    QNetworkReply *reply =
        m_network.post(request, QJsonDocument(QJsonObject{{"num", number}, {"name", name}, {"phone", phone}}).toJson());
    (void)QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000); // unanswered: an empty object
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    reply->deleteLater();
    return answer;
}

void JukeboxProcess::killNine()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}
