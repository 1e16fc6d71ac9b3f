// A hung catalogue server (every process of it stopped with SIGSTOP for 30 s) while a room
// follows another room's registration and phones order in it: the room holds nothing of its own
// file for the server, every phone is answered at once and its order kept on disk, a manager's
// write can be cancelled while the window thread goes on, and the room catches up once the
// server runs again.
#include "venue_fixture.h"

#include "catalogue/singer_records.h"
#include "venue/catalogue_transfer.h"
#include "venue/server_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>

namespace {

constexpr int kHungMs = 30000;
const QString kToken = QStringLiteral("HUNGTEST");

// Orders number from a phone of its own at 127.0.0.<phone>; the queue id answered "ok", or -1.
qint64 orderFromPhone(quint16 port, int phone, const QString &number, qint64 *answeredMs)
{
    QElapsedTimer took;
    took.start();
    QTcpSocket socket;
    socket.bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(2 + phone)));
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return -1;
    const QByteArray body = QJsonDocument(QJsonObject{{"num", number},
                                                      {"name", QStringLiteral("客%1").arg(phone)},
                                                      {"phone", QStringLiteral("phone%1").arg(phone, 16, 10, QLatin1Char('0'))}})
                                .toJson(QJsonDocument::Compact);
    socket.write("POST /" + kToken.toUtf8() + "/api/order HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                 "Content-Type: application/json\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && took.elapsed() < 10000) {
        if (socket.waitForReadyRead(100))
            answer += socket.readAll();
    }
    answer += socket.readAll();
    *answeredMs = took.elapsed();
    const QJsonObject json = QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
    return answer.startsWith("HTTP/1.1 200") && json[QStringLiteral("ok")].toBool() ? json[QStringLiteral("id")].toInteger()
                                                                                      : -1;
}

// A manager window's wait as the window thread runs it: events handled all along (the longest
// pause between two is counted), the owner's cancel pressed after cancelAfterMs.
class CancellingWait : public ServerWait
{
public:
    explicit CancellingWait(int cancelAfterMs) : m_cancelAfterMs(cancelAfterMs) {}
    void waitUntil(const std::function<bool()> &finished, const std::function<void()> &cancel) override
    {
        QElapsedTimer waited;
        waited.start();
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        while (!finished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
            longestPauseMs = qMax(longestPauseMs, sinceTurn.restart());
            if (!cancelled && waited.elapsed() >= m_cancelAfterMs) {
                cancel();
                cancelled = true;
                cancelledAt.start();
            }
        }
        untilFinishedMs = cancelled ? cancelledAt.elapsed() : -1;
    }

    qint64 longestPauseMs = 0;
    qint64 untilFinishedMs = -1;
    bool cancelled = false;

private:
    int m_cancelAfterMs;
    QElapsedTimer cancelledAt;
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

TEST(VenueHungServer, aStoppedServerHoldsNoRoomAndTheRoomCatchesUpWhenItRunsAgain)
{
    REQUIRE_SERVER();
    const QString database = testServer().newDatabase();
    const QString url = testServer().url(database);
    TempHome media;
    Room registrar(url, media.path());
    Room jukeboxRoom(url, media.path());
    const quint16 port = freePort();
    {
        QFile setting(jukeboxRoom.path() + QStringLiteral("/Setting.ini"));
        setting.open(QIODevice::Append);
        setting.write(QStringLiteral("PhonePort = %1\r\nPhoneListen = 127.0.0.1\r\nPhoneToken = %2\r\n")
                          .arg(port)
                          .arg(kToken)
                          .toUtf8());
    }
    ASSERT_EQ(registrar.run({QStringLiteral("--push-catalogue")}).exitCode, 0);
    ASSERT_EQ(registrar.run({QStringLiteral("--register-list"),
                             writeSongList(media.path(), QStringLiteral("X"), QStringLiteral("甲"), 1, 1)})
                  .exitCode,
              0);
    const auto jukebox = jukeboxRoom.startJukebox();
    ASSERT_TRUE(waitFor([&] { return jukeboxRoom.songs() == 1; }, 20000));
    // Song numbers are six digits, leading zeros and all.
    const QString number =
        QStringLiteral("%1").arg(jukeboxRoom.count(QStringLiteral("SELECT song_num FROM song")), 6, 10, QLatin1Char('0'));
    qint64 ms = 0;
    ASSERT_TRUE(waitFor([&] { return orderFromPhone(port, 0, number, &ms) > 0; }, 20000)) << "the phones never answered";

    // A manager window's store with its connection made before the server stops.
    LocalRoom manager(url, media.path());
    CancellingWait wait(1000);
    manager.venue->setWindowWait(&wait);
    insertSinger(manager.venue->store(), QStringLiteral("乙"), 0);

    const QString list = writeSongList(media.path(), QStringLiteral("Y"), QStringLiteral("丙"), 2, 2000);
    const auto registration = registrar.startTask({QStringLiteral("--register-list"), list});
    ASSERT_TRUE(waitFor([&] { return jukeboxRoom.songs() >= 200; }, 60000));

    testServer().signalAll(SIGSTOP);
    QElapsedTimer hung;
    hung.start();
    try {
        insertSinger(manager.venue->store(), QStringLiteral("丁"), 0);
        ADD_FAILURE() << "a write to a stopped server returned";
    } catch (const CatalogueUnreachable &e) {
        EXPECT_EQ(e.message(), QStringLiteral("已取消寫入曲目伺服器"));
    }
    EXPECT_TRUE(wait.cancelled);
    EXPECT_LE(wait.untilFinishedMs, 1000) << "the cancel ends the write at once";
    EXPECT_LE(wait.longestPauseMs, 100) << "the window thread went on all along";

    QList<qint64> kept;
    qint64 slowestMs = 0;
    for (int phone = 1; hung.elapsed() < kHungMs; ++phone) {
        const qint64 id = orderFromPhone(port, phone, number, &ms);
        EXPECT_GT(id, 0) << "phone " << phone << " refused";
        slowestMs = qMax(slowestMs, ms);
        kept.append(id);
        QThread::msleep(500);
    }
    EXPECT_LE(slowestMs, 1000) << "a phone waited for the server";
    EXPECT_GE(kept.size(), 20);
    // On disk while the server is still stopped.
    for (const qint64 id : kept)
        EXPECT_EQ(jukeboxRoom.count(QStringLiteral("SELECT count(*) FROM play_queue WHERE queue_id = %1").arg(id)), 1)
            << "order " << id << " not on disk";

    testServer().signalAll(SIGCONT);
    QElapsedTimer running;
    running.start();
    // The run stopped on the statement the server never answered (it is simply run again).
    ASSERT_TRUE(registration->waitForFinished(60000));
    EXPECT_TRUE(registration->readAll().contains("無法連線到曲目伺服器"));
    const qint64 onServer = testServer().sql(database, QStringLiteral("SELECT count(*) FROM song")).toLongLong();
    EXPECT_GT(onServer, 200);
    EXPECT_TRUE(waitFor([&] { return jukeboxRoom.songs() == onServer; }, 10000 - int(running.elapsed())))
        << jukeboxRoom.songs() << " of " << onServer << " after " << running.elapsed() << " ms";
    EXPECT_EQ(jukebox->state(), QProcess::Running);
    jukebox->kill();
    jukebox->waitForFinished();
}
