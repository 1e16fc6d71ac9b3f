// The jukebox itself, killed with SIGKILL at random moments while phones order: after each
// restart every order it answered "ok" is in its queue, once.
#include "core/queue_store.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QSet<qint64> keptIds(Database &db, qsizetype *rows = nullptr)
{
    QSet<qint64> ids;
    const std::vector<QueueRow> kept = QueueStore::load(db).rows;
    for (const QueueRow &row : kept)
        ids.insert(row.id);
    if (rows)
        *rows = qsizetype(kept.size());
    return ids;
}

const QString kToken = QStringLiteral("CRASHTEST");

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class Jukebox
{
public:
    Jukebox(const QString &home, quint16 port)
        : m_base(QStringLiteral("http://127.0.0.1:%1/%2/api/").arg(port).arg(kToken))
    {
        m_network.setProxy(QNetworkProxy::NoProxy);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(KARAOKE_BINARY), {"--home", home, "--clock-speed", "100"});
        m_process.waitForStarted(10000);
    }
    ~Jukebox() { killNine(); }

    // How many songs the queue it serves holds, once it serves.
    std::optional<int> queueLength()
    {
        for (int tries = 0; tries < 200 && m_process.state() == QProcess::Running; ++tries) {
            QNetworkReply *reply = m_network.get(QNetworkRequest(QUrl(m_base + "queue")));
            if (QTest::qWaitFor([reply] { return reply->isFinished(); }, 2000) && reply->error() == QNetworkReply::NoError) {
                const int total = QJsonDocument::fromJson(reply->readAll())["total"].toInt();
                reply->deleteLater();
                return total;
            }
            reply->deleteLater();
            QTest::qWait(100);
        }
        return std::nullopt;
    }

    // Orders from a new phone each time; the ids answered "ok" go into ok.
    void order(QSet<qint64> &ok)
    {
        const QString phone = QStringLiteral("phone%1").arg(++m_phones, 16, 10, QLatin1Char('0'));
        const QJsonObject body{{"num", "100001"}, {"name", "客人"}, {"phone", phone}};
        QNetworkRequest request(QUrl(m_base + "order"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        QNetworkReply *reply = m_network.post(request, QJsonDocument(body).toJson());
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, &ok] {
            const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
            if (reply->error() == QNetworkReply::NoError && answer["ok"].toBool())
                ok.insert(answer["id"].toInteger());
            reply->deleteLater();
        });
    }

    void killNine()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

private:
    QString m_base;
    QNetworkAccessManager m_network;
    QProcess m_process;
    int m_phones = 0;
};

TEST(QueueCrash, EveryOrderAnsweredOkSurvivesKillNineOnce)
{
    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home(fs, clock);
    ASSERT_TRUE(home.init.ok);
    home.catalogue.addSong("100001", 1, "晴天", home.catalogue.addSinger("周杰倫", 1));
    const quint16 port = freePort();
    home.home.write("Setting.ini", home.home.read("Setting.ini")
                                       + QStringLiteral("PhonePort = %1\r\nPhoneListen = 127.0.0.1\r\nPhoneToken = %2\r\n")
                                             .arg(port)
                                             .arg(kToken)
                                             .toUtf8());
    QSet<qint64> ok;
    for (int round = 0; round < 4; ++round) {
        Jukebox jukebox(home.home.path(), port);
        const std::optional<int> served = jukebox.queueLength();
        ASSERT_TRUE(served) << "the jukebox serves after round " << round;
        qsizetype rows = 0;
        const QSet<qint64> kept = keptIds(home.reader, &rows);
        EXPECT_TRUE(kept.contains(ok)) << "round " << round << ": an order answered ok is lost";
        EXPECT_EQ(rows, kept.size()) << "round " << round << ": an order is kept twice";
        EXPECT_EQ(*served, rows) << "round " << round << ": the jukebox starts with the queue it had";
        QElapsedTimer ordering;
        ordering.start();
        const qint64 killAt = 150 + QRandomGenerator::global()->bounded(450);
        while (ordering.elapsed() < killAt) {
            for (int phone = 0; phone < 4; ++phone)
                jukebox.order(ok);
            QTest::qWait(15);
        }
        jukebox.killNine();
    }
    qsizetype rows = 0;
    const QSet<qint64> ids = keptIds(home.reader, &rows);
    EXPECT_EQ(rows, ids.size()) << "no order is kept twice";
    EXPECT_TRUE(ids.contains(ok)) << ok.size() << " answered ok, " << ids.size() << " kept";
    EXPECT_GT(ok.size(), 20) << "the phones did order";
}

} // namespace
