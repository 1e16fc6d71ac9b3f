// What a stranger on the room's network may ask of the jukebox: pages of other sites acting
// through a guest's browser, owner actions, PIN guesses, orders per address, names as typed.
#include "phone/phone_fixture.h"

#include "core/lookups.h"
#include "core/queue_store.h"
#include "phone/guest_limits.h"
#include "phone/phone_server.h"
#include "phone/queue_view.h"
#include "support/small_disk.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTest>

#include <atomic>

namespace {

class PhoneGuard : public PhoneFixture
{
protected:
    static QByteArray orderJson(const QString &phone, const QString &name = QStringLiteral("阿美"))
    {
        return orderBody(QStringLiteral("100001"), phone, name);
    }
};

TEST_F(PhoneGuard, APageOfAnotherSiteCannotOrderOrActThroughAGuestsBrowser)
{
    const QByteArray own = "http://127.0.0.1:" + QByteArray::number(port());
    const QByteArray rebound = "karaoke.attacker.test:" + QByteArray::number(port());
    const struct
    {
        const char *what;
        QByteArray headers;
        int status;
    } cases[] = {
        {"a form's body", "Content-Type: application/x-www-form-urlencoded\r\n", 415},
        {"a form or script sending text", "Content-Type: text/plain\r\nOrigin: " + own + "\r\n", 415},
        {"another site's script", "Origin: http://evil.example\r\n", 403},
        {"another port of this machine", "Origin: http://127.0.0.1:1\r\n", 403},
        {"a name of the other site pointed at this machine", "Host: " + rebound + "\r\nOrigin: http://" + rebound + "\r\n", 403},
        {"a sandboxed page", "Origin: null\r\n", 403},
        {"the page itself", "Origin: " + own + "\r\n", 200},
        {"a program without a browser", "", 200},
    };
    int accepted = 0;
    for (const auto &c : cases) {
        const PhoneReply reply = from(loopback(1), "POST", "api/order", orderJson(phoneOf('a')), c.headers);
        EXPECT_EQ(reply.status, c.status) << c.what << ": " << reply.error().toStdString();
        EXPECT_FALSE(reply.headers.toLower().contains("access-control-allow")) << c.what;
        accepted += reply.status == 200 ? 1 : 0;
    }
    EXPECT_EQ(queue().size(), accepted) << "nothing refused reached the queue";
    EXPECT_EQ(from(loopback(1), "GET", "api/queue", {}, "Origin: http://evil.example\r\n").status, 403);
}

TEST_F(PhoneGuard, OwnerActionsAreOffOnPhonesWithoutAPinUnlessTheOwnerOpensThem)
{
    const struct
    {
        const char *managerPin, *ownerActions, *owner;
        const char *skipWithoutPin, *changeOthersWithoutPin;
    } modes[] = {
        {"", "", "off", "店家沒有開放用手機卡歌、暫停", "只能改自己點的歌"},
        {"", "0", "off", "店家沒有開放用手機卡歌、暫停", "只能改自己點的歌"},
        {"", "1", "open", "目前沒有歌曲在播放", ""},
        {"2468", "1", "pin", "請輸入管理密碼", "只能改自己點的歌"},
    };
    for (const auto &m : modes) {
        home.state.settings.ManagerPin = m.managerPin;
        home.state.settings.PhoneOwnerActions = m.ownerActions;
        restartPhones({});
        EXPECT_EQ(get("api/info").json["owner"].toString(), m.owner);
        EXPECT_EQ(post("api/skip", {{"pin", ""}}).error(), m.skipWithoutPin) << m.owner;
        ASSERT_EQ(order("100002", phoneOf('b'), "阿美").status, 200);
        const qint64 hers = home.state.OrderedSongs.row(home.state.OrderedSongs.length() - 1).id;
        EXPECT_EQ(post("api/remove", {{"id", hers}, {"phone", phoneOf('a')}, {"pin", ""}}).error(),
                  m.changeOthersWithoutPin)
            << m.owner;
        if (home.state.OrderedSongs.indexOf(hers) >= 0) {
            EXPECT_EQ(post("api/remove", {{"id", hers}, {"phone", phoneOf('b')}, {"pin", ""}}).error(), "")
                << "a guest deletes their own song in every mode";
        }
    }
    EXPECT_EQ(post("api/skip", {{"pin", "2468"}}).error(), "目前沒有歌曲在播放") << "the right PIN is the owner's";
}

TEST_F(PhoneGuard, PinGuessesAreCountedAsTheyArriveSoABurstIsRefusedUnseenPastTheLimit)
{
    home.state.settings.ManagerPin = "2468";
    restartPhones({});
    std::vector<std::unique_ptr<RawConnection>> burst;
    for (int i = 0; i < 50; ++i) {
        burst.push_back(std::make_unique<RawConnection>(port(), loopback(1)));
        const QString guess = QString::number(1000 + i);
        burst.back()->write(httpRequest("POST", "api/pause", "{\"pin\":\"" + guess.toUtf8() + "\"}"));
    }
    int lookedAt = 0;
    int refused = 0;
    for (const auto &connection : burst) {
        const PhoneReply reply = connection->answer();
        lookedAt += reply.error() == "管理密碼錯誤" ? 1 : 0;
        refused += reply.status == 429 || reply.status == 0 ? 1 : 0; // 0: past the connections of an address
    }
    EXPECT_EQ(lookedAt, PinGuard::kPerAddress) << "guesses past the limit are not compared";
    EXPECT_EQ(refused, 50 - PinGuard::kPerAddress);
    burst.clear();
    QTest::qWait(200); // the server lets the address's connections go
    EXPECT_EQ(from(loopback(1), "POST", "api/pause", "{\"pin\":\"2468\"}").status, 429)
        << "the right PIN too, for a minute";

    EXPECT_EQ(from(loopback(2), "POST", "api/pause", "{\"pin\":\"2468\"}").error(), "目前沒有歌曲在播放")
        << "the owner at another address is not locked out";
    for (int address = 3; address < 6; ++address) {
        for (int i = 0; i < PinGuard::kPerAddress; ++i)
            from(loopback(address), "POST", "api/pause", "{\"pin\":\"1111\"}");
    }
    EXPECT_EQ(from(loopback(2), "POST", "api/pause", "{\"pin\":\"2468\"}").status, 429)
        << PinGuard::kInAll << " wrong PINs from anywhere lock every address for a minute";
}

TEST_F(PhoneGuard, OrdersAreCountedByAddressSoNoScriptFillsTheQueueAgainstTheRoom)
{
    auto now = std::make_shared<std::atomic<qint64>>(0);
    restartPhones([now](PhoneConfig &c) { c.clock = [now] { return now->load(); }; });
    int scriptPhones = 0;
    const auto scriptOrders = [&](int orders) {
        int ok = 0;
        for (int i = 0; i < orders; ++i) {
            const QString madeUp = QStringLiteral("script%1").arg(++scriptPhones, 16, 10, QChar('0'));
            ok += from(loopback(4), "POST", "api/order", orderJson(madeUp)).status == 200 ? 1 : 0;
        }
        return ok;
    };
    EXPECT_EQ(scriptOrders(25), GuestLimits::kOrdersPerMinute) << "a new phone id for each order changes nothing";
    EXPECT_EQ(from(loopback(4), "POST", "api/order", orderJson(phoneOf('s'))).error(), "點歌太頻繁, 請稍後再試");
    *now += 61000;
    EXPECT_EQ(scriptOrders(15), PhoneDesk::kWaitingPerAddress - GuestLimits::kOrdersPerMinute)
        << "at most " << PhoneDesk::kWaitingPerAddress << " songs of one address wait";
    EXPECT_TRUE(from(loopback(4), "POST", "api/order", orderJson(phoneOf('s'))).error().contains("請等唱完幾首再點"));

    EXPECT_EQ(from(loopback(2), "POST", "api/order", orderJson(phoneOf('g'), "客人")).status, 200)
        << "a guest at another address orders on";
    EXPECT_GE(AddToOrderList(home.state, "100003"), 0) << "the keypad orders on";
    FakePhonePlayer player;
    phone->desk().setPlayer(player.lend()); // the script's first song is sung: it waits no more
    EXPECT_EQ(from(loopback(4), "POST", "api/order", orderJson(phoneOf('s'))).status, 200);

    while (home.state.OrderedSongs.length() < PlayQueue::kCapacity - PhoneDesk::kKeypadReserve)
        home.state.OrderedSongs.append({"100003", "紅豆--王菲"});
    EXPECT_EQ(from(loopback(2), "POST", "api/order", orderJson(phoneOf('g'), "客人")).error(), "點歌已滿!");
    EXPECT_GE(AddToOrderList(home.state, "100003"), 0) << "phones leave the last rows to the keypad";
}

TEST_F(PhoneGuard, AGuestOrderingOneSongEvery50SecondsIsNeverRefused)
{
    auto now = std::make_shared<std::atomic<qint64>>(0);
    restartPhones([now](PhoneConfig &c) { c.clock = [now] { return now->load(); }; });
    for (int i = 0; i < 2 * PhoneDesk::kWaitingPerAddress; ++i) {
        *now += 50000;
        const PhoneReply reply = order("100001", phoneOf('a'));
        ASSERT_EQ(reply.status, 200) << "order " << i << ": " << reply.error().toStdString();
        home.state.OrderedSongs.removeAt(0); // sung meanwhile
        ASSERT_TRUE(writer->flush(5000)); // and kept, before the next order reads the catalogue
    }
}

TEST_F(PhoneGuard, NamesAreTakenAsPeopleWriteThemAndShownAsTyped)
{
    const QString twenty(20, QChar(0x738B));
    const struct
    {
        QByteArray nameJson; // as the page's JSON carries it
        const char *error;
    } cases[] = {
        {"\"Tom & Jerry\"", ""},
        {"\"<img src=/dev/zero>\"", ""},
        {"\"<b>粗</b>\"", ""},
        {"\"👨‍👩‍👧‍👦 一家\"", ""},
        {"\"🇹🇼🏴󠁧󠁢󠁳󠁣󠁴󠁿\"", ""},
        {"\"" + twenty.toUtf8() + "\"", ""},
        {"\"" + QString(19, QChar(0x738B)).toUtf8() + "👩‍👩‍👧\"", ""},
        {"\"" + twenty.toUtf8() + "王\"", "名字最多 20 字"},
        {"\"a\\ud800b\"", "不能有控制字元"},
        {"\"\\udc00\"", "不能有控制字元"},
        {"\"ab\\u202Ecd\"", "不能有控制字元"},
        {"\"a\\u0007\"", "不能有控制字元"},
    };
    QStringList accepted;
    for (const auto &c : cases) {
        const QByteArray body = "{\"num\":\"100001\",\"phone\":\"" + phoneOf('n').toUtf8() + "\",\"name\":" + c.nameJson + "}";
        const PhoneReply reply = from(loopback(1), "POST", "api/order", body);
        EXPECT_TRUE(reply.error().contains(QString::fromUtf8(c.error))) << c.nameJson.constData();
        EXPECT_EQ(reply.status == 200, QByteArray(c.error).isEmpty()) << c.nameJson.constData();
        if (reply.status == 200)
            accepted.append(QJsonDocument::fromJson("[" + c.nameJson + "]").array().at(0).toString());
    }
    QStringList shown;
    for (const QJsonValue &song : get("api/queue").json["songs"].toArray())
        shown.append(song["by"].toString());
    EXPECT_EQ(shown, accepted) << "every name reaches the queue as typed";
}

TEST_F(PhoneGuard, APhonesSongPastTheFirstHundredStaysItsOwnAfterTheNextQueueChange)
{
    for (int i = 0; i < QueueViewJson::kShown + 1; ++i)
        AddToOrderList(home.state, "100003");
    ASSERT_EQ(order("100004", phoneOf('e'), "阿美").status, 200);
    const qint64 hers = home.state.OrderedSongs.row(QueueViewJson::kShown + 1).id;
    const QString tag = get("api/info?phone=" + phoneOf('e')).json["tag"].toString();
    QNetworkReply *stream = network.get(QNetworkRequest(QUrl(base + "/" + kToken + "/api/events?phone=" + phoneOf('e'))));
    QByteArray heard;
    QObject::connect(stream, &QNetworkReply::readyRead, [&] { heard += stream->readAll(); });
    const auto lastQueue = [&] {
        const qsizetype at = heard.lastIndexOf("data: {");
        return at < 0 ? QJsonObject() : QJsonDocument::fromJson(heard.mid(at + 6).split('\n').value(0)).object();
    };
    const auto ownSongs = [&] {
        QStringList own;
        for (const QJsonValue &song : lastQueue()["mine"].toArray()) {
            if (song["tag"].toString() == tag)
                own.append(QString::number(song["id"].toInteger()) + "@" + QString::number(song["pos"].toInt()));
        }
        return own;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lastQueue()["total"].toInt() == QueueViewJson::kShown + 2; }, 5000));
    EXPECT_EQ(ownSongs(), QStringList({QString::number(hers) + "@" + QString::number(QueueViewJson::kShown + 1)}));
    home.state.OrderedSongs.moveToHead(5, "插播");
    AddToOrderList(home.state, "100002");
    ASSERT_TRUE(QTest::qWaitFor([&] { return lastQueue()["total"].toInt() == QueueViewJson::kShown + 3; }, 2000));
    EXPECT_EQ(ownSongs(), QStringList({QString::number(hers) + "@" + QString::number(QueueViewJson::kShown + 1)}))
        << "still hers, at the same place, after the next change";
    stream->abort();
    stream->deleteLater();
}

TEST_F(PhoneGuard, AQueueThatCannotBeSavedIsToldAtOnceAndTheQueueKeptIsTheOneInMemoryOnceItCanBe)
{
    SmallDisk disk(2 << 20);
    ASSERT_TRUE(disk.mounted()) << disk.whyNot().toStdString();
    SharedState state;
    ASSERT_TRUE(InitSystem(state, fs, clock, disk.path()).ok);
    CatalogueBuilder(state.DbPath).addSong("100001", 1, "晴天", CatalogueBuilder(state.DbPath).addSinger("周杰倫", 1));
    auto diskWriter = std::make_unique<QueueWriter>(state.DbPath, std::vector<QueueRow>{});
    const auto keepOnDisk = state.OrderedSongs.subscribe([&] { diskWriter->save(state.OrderedSongs); });
    startPhonesOn(state, diskWriter.get(), {});
    for (const char phoneLetter : {'a', 'b'})
        ASSERT_EQ(from(loopback(1), "POST", "api/order", orderJson(phoneOf(phoneLetter))).status, 200);

    ASSERT_TRUE(disk.leaveFree(0));
    QElapsedTimer told;
    told.start();
    const PhoneReply ordered = from(loopback(2), "POST", "api/order", orderJson(phoneOf('c')));
    EXPECT_EQ(ordered.status, 200) << "the song is queued and will be sung";
    EXPECT_FALSE(ordered.json["kept"].toBool(true)) << "but the phone is told it is not kept";
    EXPECT_LT(told.elapsed(), 1000) << "at once, not when the wait for the disk runs out";
    EXPECT_TRUE(get("api/queue").json["unsaved"].toBool()) << "every phone hears of it";
    state.OrderedSongs.removeAt(0); // the keypad deletes the first song meanwhile

    ASSERT_TRUE(QFile::remove(disk.file(".filler")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !get("api/queue").json["unsaved"].toBool(true); }, 3000));
    Database restarted(state.DbPath);
    QStringList phones;
    for (const QueueRow &row : QueueStore::load(restarted).rows)
        phones.append(row.by.phone);
    EXPECT_EQ(phones, QStringList({phoneOf('b'), phoneOf('c')})) << "nothing deleted comes back, nothing ordered is lost";
    phone.reset();
}

} // namespace
