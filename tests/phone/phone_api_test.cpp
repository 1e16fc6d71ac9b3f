#include "phone/phone_fixture.h"

#include "core/lookups.h"
#include "core/scoped_transaction.h"
#include "core/shared_state.h"
#include "phone/guest_limits.h"
#include "phone/phone_server.h"
#include "support/qt_printers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {

using PhoneApi = PhoneFixture;

QStringList titles(const PhoneReply &reply, const char *list = "songs", const char *field = "title")
{
    QStringList found;
    for (const QJsonValue &v : reply.json.value(QLatin1String(list)).toArray())
        found.append(v.toObject().value(QLatin1String(field)).toVariant().toString());
    return found;
}

TEST_F(PhoneApi, EveryRequestNeedsTheTokenAndBadInputIsRefusedInTheGuestsWords)
{
    const QString t = QLatin1Char('/') + kToken;
    const QByteArray a = "aaaaaaaaaaaaaaaaaaaa";
    const QByteArray longName = QString(21, QChar(0x738B)).toUtf8();
    const struct
    {
        QByteArray method;
        QString path;
        QByteArray body;
        int status;
        const char *error;
    } cases[] = {
        {"GET", "/", {}, 403, ""},
        {"GET", "/api/queue", {}, 403, ""},
        {"GET", "/Test-Token_43/api/queue", {}, 403, ""},
        {"GET", "/test-token_42/", {}, 403, "the token is compared exactly"},
        {"GET", t, {}, 302, ""},
        {"GET", t + "/api/nothing", {}, 404, "找不到這個網頁"},
        {"GET", t + "/api/order", {}, 405, "不支援這種操作"},
        {"POST", t + "/api/queue", "{}", 405, "不支援這種操作"},
        {"POST", t + "/api/order", "not json", 400, "資料格式錯誤"},
        {"POST", t + "/api/order", "[1,2]", 400, "資料格式錯誤"},
        {"POST", t + "/api/order", "{\"num\":\"1000a1\",\"name\":\"x\",\"phone\":\"" + a + "\"}", 400, "曲目編號只能是數字"},
        {"POST", t + "/api/order", "{\"num\":100001,\"name\":\"x\",\"phone\":\"" + a + "\"}", 400, "曲目編號只能是數字"},
        {"POST", t + "/api/order", "{\"num\":\"100001\",\"phone\":\"" + a + "\"}", 400, "請先輸入名字"},
        {"POST", t + "/api/order", "{\"num\":\"100001\",\"name\":\"" + longName + "\",\"phone\":\"" + a + "\"}", 400, "名字最多 20 字"},
        {"POST", t + "/api/order", "{\"num\":\"100001\",\"name\":\"a\\u0007b\",\"phone\":\"" + a + "\"}", 400, "不能有控制字元"},
        {"POST", t + "/api/order", "{\"num\":\"100001\",\"name\":\"x\",\"phone\":\"short\"}", 400, "手機識別碼錯誤"},
        {"POST", t + "/api/order", "{\"num\":\"" + QByteArray(5000, '1') + "\"}", 413, "資料太長"},
        {"POST", t + "/api/order", "{\"num\":\"999999\",\"name\":\"x\",\"phone\":\"" + a + "\"}", 404, "沒這種歌!"},
        {"POST", t + "/api/remove", "{\"id\":1.5,\"phone\":\"" + a + "\"}", 400, "資料格式錯誤"},
        {"POST", t + "/api/skip", "{\"pin\":\"12ab\"}", 400, "管理密碼只能是數字"},
        {"GET", t + "/api/search?q=" + QString(41, QLatin1Char('x')), {}, 400, "搜尋文字最多 40 字"},
        {"GET", t + "/api/search?q=%E6%99%B4&page=0", {}, 400, "頁數錯誤"},
        {"GET", t + "/api/kind?kind=8&count=1", {}, 400, "沒有這種曲目種類"},
        {"GET", t + "/api/kind?kind=1&count=11", {}, 400, "字數錯誤"},
        {"GET", t + "/api/singers?group=4", {}, 400, "沒有這種歌星分類"},
        {"GET", t + "/api/singer?code=-1", {}, 400, "沒有這位歌星"},
        {"GET", t + "/api/info?phone=%00", {}, 400, "手機識別碼錯誤"},
    };
    for (const auto &c : cases) {
        const PhoneReply reply = request(c.method, c.path, c.body);
        EXPECT_EQ(reply.status, c.status) << c.method.constData() << " " << c.path.toStdString();
        if (c.status == 403) {
            EXPECT_TRUE(reply.body.isEmpty()) << "a request without the token learns nothing";
        } else if (c.status != 302) {
            EXPECT_TRUE(reply.error().contains(QString::fromUtf8(c.error))) << reply.error().toStdString();
        }
    }
    EXPECT_TRUE(queue().isEmpty());
    const PhoneReply page = get(QString());
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("<script src=\"app.js\""));
}

TEST_F(PhoneApi, OrdersCutInsAndDeletionsFollowTheKeypadsRulesAndWhoOrderedWhat)
{
    QSignalSpy notices(&phone->desk(), &PhoneDesk::guestOrdered);
    const QString a = phoneOf('a');
    const QString b = phoneOf('b');
    QNetworkReply *sent = nullptr;
    {
        // Another program writes the catalogue: the queue cannot be written, and the phone waits.
        ScopedTransaction writing(home.reader);
        EXPECT_EQ(home.songRows(), 4);
        sent = send("POST", "/" + kToken + "/api/order", orderBody("100001", a));
        QTest::qWait(300);
        EXPECT_FALSE(sent->isFinished()) << "no ok before the order is on disk";
    }
    const PhoneReply first = wait(sent);
    ASSERT_EQ(first.status, 200) << first.error().toStdString();
    EXPECT_EQ(keptQueue(), QStringList({"100001 by 王小明"}));
    EXPECT_EQ(notices.count(), 1);
    EXPECT_EQ(notices.at(0), QVariantList({"王小明", "晴天"}));
    ASSERT_EQ(AddToOrderList(home.state, "100002"), 1); // at the keypad
    ASSERT_EQ(order("100003", b, "阿美").status, 200);
    ASSERT_EQ(order("100004", b, "阿美").status, 200);
    const qint64 bFirst = home.state.OrderedSongs.row(2).id;
    const qint64 bSecond = home.state.OrderedSongs.row(3).id;
    const auto change = [&](const char *what, qint64 id, const QString &by, const QString &pin = {}) {
        return post(QString("api/") + what, {{"id", id}, {"phone", by}, {"pin", pin}});
    };

    // Another phone's song is the owner's: with no ManagerPin only where the owner opened
    // owner actions to every phone. The menu's cut-in puts it first.
    EXPECT_EQ(change("cutin", bFirst, a).error(), "只能改自己點的歌");
    home.state.settings.PhoneOwnerActions = "1";
    restartPhones({});
    EXPECT_EQ(change("cutin", bFirst, a).status, 200);
    EXPECT_EQ(queue(), QStringList({"100003 by 阿美", "100001 by 王小明", "100002", "100004 by 阿美"}));
    EXPECT_EQ(home.state.OrderedSongs.row(0).text, "紅豆--插播");

    home.state.settings.ManagerPin = "2468";
    restartPhones({});
    const struct
    {
        const char *what;
        qint64 id;
        QString phone;
        QString pin;
        int status;
        const char *error;
    } refusals[] = {
        {"remove", bSecond, a, "", 403, "只能改自己點的歌"},
        {"cutin", bSecond, a, "1111", 403, "管理密碼錯誤"},
        {"remove", 9999, a, "", 404, "這首歌已不在點歌單"},
        {"skip", 0, a, "2468", 409, "目前沒有歌曲在播放"},
    };
    for (const auto &r : refusals) {
        const PhoneReply reply = change(r.what, r.id, r.phone, r.pin);
        EXPECT_EQ(reply.status, r.status) << r.what;
        EXPECT_EQ(reply.error(), QString::fromUtf8(r.error)) << r.what;
    }
    EXPECT_EQ(change("remove", bSecond, a, "2468").status, 200) << "the owner changes anyone's song";
    EXPECT_EQ(change("remove", first.json["id"].toInteger(), a).status, 200) << "a guest deletes their own song";
    EXPECT_EQ(queue(), QStringList({"100003 by 阿美", "100002"}));

    // While the queue plays, row 0 is the song playing: cut-ins go after it, and it stays.
    FakePhonePlayer player;
    phone->desk().setPlayer(player.lend());
    ASSERT_EQ(order("100001", a).status, 200);
    const qint64 mine = home.state.OrderedSongs.row(2).id;
    EXPECT_EQ(change("cutin", mine, a).status, 200);
    EXPECT_EQ(queue(), QStringList({"100003 by 阿美", "100001 by 王小明", "100002"}));
    EXPECT_EQ(change("cutin", mine, a).error(), "這首歌已經是下一首了");
    EXPECT_EQ(change("remove", bFirst, b).error(), "這首歌正在播放");
    EXPECT_EQ(post("api/skip", {{"pin", ""}}).error(), "請輸入管理密碼");
    EXPECT_EQ(post("api/skip", {{"pin", "2468"}}).status, 200);
    EXPECT_EQ(player.skips, 1);
    EXPECT_EQ(post("api/pause", {{"pin", "2468"}}).json["paused"].toBool(), true);
    EXPECT_EQ(keptQueue(), queue());

    while (!home.state.OrderedSongs.isFull())
        home.state.OrderedSongs.append({"100002", "七里香--周杰倫"});
    EXPECT_EQ(order("100001", b).error(), "點歌已滿!");
}

TEST_F(PhoneApi, SearchAndBrowsingFindSongsAsTheKeypadListsThem)
{
    EXPECT_EQ(titles(get("api/search?q=%E6%99%B4")), QStringList({"晴天"})) << "a title fragment";
    EXPECT_EQ(titles(get("api/search?q=%E7%8E%8B%E8%8F%B2")), QStringList({"紅豆", "容易受傷的女人"}))
        << "a singer's name, shorter titles first";
    EXPECT_EQ(titles(get("api/search?q=100002"), "songs", "num"), QStringList({"100002"}));
    EXPECT_EQ(titles(get("api/kind?kind=7&count=7")), QStringList({"容易受傷的女人"}));
    const PhoneReply women = get("api/singers?group=1");
    EXPECT_EQ(titles(women, "singers", "name"), QStringList({"王菲"}));
    EXPECT_EQ(titles(get("api/singer?code=" + titles(women, "singers", "code").value(0))),
              QStringList({"紅豆", "容易受傷的女人"}));

    const qint64 singer = home.catalogue.addSinger("晴天樂團", 2);
    for (int i = 0; i < 25; ++i)
        home.catalogue.addSong(QString::number(200000 + i), 1, "晴" + QString::number(i), singer);
    const PhoneReply first = get("api/search?q=%E6%99%B4");
    EXPECT_EQ(titles(first).size(), 20) << "songs added since the last search are found";
    EXPECT_TRUE(first.json["more"].toBool());
    const PhoneReply second = get("api/search?q=%E6%99%B4&page=2");
    EXPECT_EQ(titles(second).size(), 6) << "晴天 and the 25 songs of 晴天樂團, each once";
    EXPECT_FALSE(second.json["more"].toBool());
    EXPECT_EQ(titles(get("api/search?q=200007"), "songs", "num").value(0), "200007")
        << "the song with exactly that number comes first";
    // Titles of one length in stroke order, whatever their numbers; letters in any case; a
    // search never runs from one field into the next.
    const qint64 band = home.catalogue.addSinger("測試樂團", 2);
    home.catalogue.addSong("300001", 1, "晴朗", band);
    home.catalogue.addSong("300002", 1, "十面", band);
    home.catalogue.addSong("300003", 1, "LOVE", band);
    EXPECT_EQ(titles(get("api/search?q=%E6%B8%AC%E8%A9%A6")), QStringList({"十面", "晴朗", "LOVE"}));
    EXPECT_EQ(titles(get("api/search?q=love")), QStringList({"LOVE"}));
    EXPECT_EQ(titles(get("api/search?q=100001%E6%99%B4")), QStringList());
}

TEST_F(PhoneApi, TheLiveQueueReachesEveryPhoneAndADroppedPhoneLeavesNoHalfChange)
{
    QNetworkReply *stream = network.get(QNetworkRequest(QUrl(base + "/" + kToken + "/api/events")));
    QByteArray heard;
    QObject::connect(stream, &QNetworkReply::readyRead, [&] { heard += stream->readAll(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.contains("\"songs\":[]"); }, 5000));
    AddToOrderList(home.state, "100002");
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.contains("七里香"); }, 1000)) << "a keypad order, live";

    // A phone that drops its connection right after asking: the order stands, once.
    QTcpSocket dropped;
    dropped.connectToHost(QHostAddress::LocalHost, QUrl(base).port());
    ASSERT_TRUE(dropped.waitForConnected(5000));
    const QByteArray body = orderBody("100001", phoneOf('d'), "x");
    dropped.write(httpRequest("POST", "api/order", body));
    ASSERT_TRUE(dropped.waitForBytesWritten(5000));
    dropped.close(); // gone before the answer is ready
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.contains("晴天"); }, 2000));
    EXPECT_EQ(queue(), QStringList({"100002", "100001 by x"}));

    // A request larger than any the page sends is cut off, never buffered.
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, QUrl(base).port());
    ASSERT_TRUE(flood.waitForConnected(5000));
    flood.write("POST /" + kToken.toUtf8() + "/api/order HTTP/1.1\r\nHost: x\r\nContent-Length: 10000000\r\n\r\n");
    for (int i = 0; i < 40 && flood.state() == QAbstractSocket::ConnectedState; ++i) {
        flood.write(QByteArray(16 * 1024, '{'));
        QTest::qWait(10);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return flood.state() != QAbstractSocket::ConnectedState; }, 5000));
    EXPECT_EQ(get("api/queue").json["songs"].toArray().size(), 2) << "the server answers on";
    stream->abort();
    stream->deleteLater();

    // A long queue: every phone gets the first songs and the count; its own songs further down
    // come to it alone.
    for (int i = 0; i < QueueViewJson::kShown; ++i)
        AddToOrderList(home.state, "100003");
    ASSERT_EQ(order("100004", phoneOf('e'), "阿美").status, 200);
    const PhoneReply hers = get("api/queue?phone=" + phoneOf('e'));
    EXPECT_EQ(hers.json["total"].toInt(), QueueViewJson::kShown + 3);
    EXPECT_EQ(hers.json["songs"].toArray().size(), QueueViewJson::kShown);
    EXPECT_EQ(titles(hers, "mine", "pos"), QStringList({QString::number(QueueViewJson::kShown + 2)}));
    EXPECT_EQ(titles(get("api/queue?phone=" + phoneOf('d')), "mine"), QStringList());
    EXPECT_EQ(titles(get("api/queue"), "mine"), QStringList()) << "the keypad's songs are no page's own";
}

TEST_F(PhoneApi, OrdersAreLimitedPerPhoneAndPerAddress)
{
    const QString a = phoneOf('a');
    for (int i = 0; i < GuestLimits::kOrdersPerMinute; ++i)
        ASSERT_EQ(order("100001", a).status, 200) << i;
    const PhoneReply refused = order("100001", a);
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(refused.error(), "點歌太頻繁, 請稍後再試");
    EXPECT_EQ(order("100001", phoneOf('b')).status, 429) << "another id from the same address counts with it";
    EXPECT_EQ(from(loopback(2), "POST", "api/order", orderBody("100001", phoneOf('c'))).status, 200)
        << "a phone at another address orders on";
    EXPECT_EQ(from(loopback(2), "POST", "api/order", orderBody("100001", a)).status, 429)
        << "a phone at a new address is still the phone it was";
}

TEST(PhoneConfig, TheOptionalLinesOfSettingIniDecideHowTheServerRuns)
{
    const struct
    {
        QString ordering, port, listen, token;
        bool enabled;
        quint16 expectedPort;
        const char *problem;
    } cases[] = {
        {"", "", "", "", true, 8080, ""},
        {"0", "", "", "", false, 8080, ""},
        {"1", "8090", "127.0.0.1", "TABLE-7", true, 8090, ""},
        {"", "80x", "", "", true, 8080, "PhonePort"},
        {"", "70000", "", "", true, 8080, "PhonePort"},
        {"", "", "the kitchen", "", true, 8080, "PhoneListen"},
        {"", "", "", "短", true, 8080, "PhoneToken"},
        {"", "", "", "a/b", true, 8080, "PhoneToken"},
    };
    for (const auto &c : cases) {
        SharedState state;
        state.settings.PhoneOrdering = c.ordering;
        state.settings.PhonePort = c.port;
        state.settings.PhoneListen = c.listen;
        state.settings.PhoneToken = c.token;
        const PhoneConfig config = PhoneConfig::of(state);
        EXPECT_EQ(config.enabled, c.enabled) << c.ordering.toStdString();
        EXPECT_EQ(config.port, c.expectedPort) << c.port.toStdString();
        EXPECT_TRUE(config.problem.contains(QString::fromUtf8(c.problem))) << config.problem.toStdString();
        EXPECT_EQ(config.problem.isEmpty(), QByteArray(c.problem).isEmpty()) << config.problem.toStdString();
        if (c.token.isEmpty()) {
            EXPECT_NE(config.token, PhoneConfig::of(state).token) << "a new random token at every start";
        }
    }
}

TEST_F(PhoneApi, APortAlreadyTakenIsToldAndTheJukeboxRunsOn)
{
    PhoneConfig config = PhoneConfig::of(home.state);
    config.listen = QHostAddress::LocalHost;
    config.port = quint16(QUrl(base).port());
    PhoneOrdering second(home.state, config, nullptr);
    QSignalSpy failed(&second, &PhoneOrdering::failed);
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_EQ(second.problem(), QStringLiteral("手機點歌無法啟動: 連接埠 %1 已被佔用").arg(config.port));
    EXPECT_EQ(order("100001", phoneOf('a')).status, 200);
}

} // namespace
