// Fair turns and the 熱門 tab through the real phone server on 127.0.0.1 and the real queue.
#include "core/lookups.h"
#include "core/play_history.h"
#include "phone/phone_fixture.h"
#include "support/history_builder.h"

#include <QDateTime>
#include <QJsonArray>

namespace {

class FairTurnsTest : public PhoneFixture
{
protected:
    // Who ordered each queued song, by the name given with it ("A2": phone A's second order).
    QStringList playOrder() const
    {
        QStringList names;
        for (const QueueRow &row : home.state.OrderedSongs.rows())
            names << (row.by.name.isEmpty() ? QStringLiteral("K") : row.by.name);
        return names;
    }
    // A song phone letter started in the last hour that has left the queue.
    void sangRecently(char letter)
    {
        PlayRecord play;
        play.songNum = QStringLiteral("100002");
        play.title = play.singer = QStringLiteral("早先");
        play.startedAt = QDateTime::currentSecsSinceEpoch() - 600;
        play.playedSeconds = 200;
        play.phone = phoneOf(letter);
        play.queueId = 999999;
        PlayHistory::write(home.catalogue.database(), play, 0);
    }
};

// Steps: "A" a phone order of phone A, "K" a keypad order, "A!" phone A cuts its last order
// in, "play" the player is lent (the first song plays), "sangB" phone B sang a song in the
// last hour. Names in the result: each phone's orders numbered in order, "K" the keypad.
TEST_F(FairTurnsTest, OrdersTakeTurnsThroughThePhoneApi)
{
    struct Case
    {
        const char *name;
        QStringList steps;
        QStringList expected;
        bool fair = true;
    } cases[] = {
        {"A A A B C", {"A", "A", "A", "B", "C"}, {"A1", "B1", "C1", "A2", "A3"}},
        {"the line off keeps ordering order", {"A", "A", "A", "B", "C"}, {"A1", "A2", "A3", "B1", "C1"}, false},
        {"A B A B with A's song playing", {"A", "play", "B", "A", "B"}, {"A1", "B1", "A2", "B2"}},
        {"the playing song counts for its orderer", {"A", "play", "A", "B"}, {"A1", "B1", "A2"}},
        {"keypad and phones mixed", {"K", "K", "A", "B", "K", "A"}, {"K", "A1", "B1", "K", "A2", "K"}},
        {"songs sung in the last hour count", {"K", "sangA", "sangA", "A", "B", "C"}, {"K", "B1", "C1", "A1"}},
        {"the first song keeps its place", {"sangA", "A", "B"}, {"A1", "B1"}},
        {"a cut-in song stays next", {"A", "play", "A", "A", "A!", "B"}, {"A1", "A3", "B1", "A2"}},
    };
    // The limit on orders a minute is not what this test is about: each order comes a minute later.
    restartPhones([](PhoneConfig &config) {
        config.clock = [ms = std::make_shared<qint64>(0)] { return *ms += 61000; };
    });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        home.state.OrderedSongs.clear();
        home.catalogue.database().ExecuteSql(QStringLiteral("DELETE FROM play_history"));
        phone->desk().setPlayer(std::nullopt);
        phone->desk().takeTurns(c.fair ? std::function<qint64()>([] { return QDateTime::currentSecsSinceEpoch(); })
                                       : std::function<qint64()>());
        FakePhonePlayer player;
        std::map<char, int> orders;
        for (const QString &step : c.steps) {
            const char letter = step.at(step.startsWith(QLatin1String("sang")) ? 4 : 0).toLatin1();
            if (step == QLatin1String("play")) {
                phone->desk().setPlayer(player.lend());
            } else if (step == QLatin1String("K")) {
                ASSERT_GE(AddToOrderList(home.state, QStringLiteral("100001")), 0);
            } else if (step.startsWith(QLatin1String("sang"))) {
                sangRecently(char(letter + 32));
            } else if (step.endsWith(QLatin1Char('!'))) {
                const std::vector<QueueRow> &rows = home.state.OrderedSongs.rows();
                const qint64 id = std::find_if(rows.rbegin(), rows.rend(), [&](const QueueRow &r) {
                                      return r.by.phone == phoneOf(char(letter + 32));
                                  })->id;
                const PhoneReply reply = post(QStringLiteral("api/cutin"),
                                              {{"id", id}, {"phone", phoneOf(char(letter + 32))}, {"pin", ""}});
                ASSERT_EQ(reply.status, 200) << reply.body.toStdString();
            } else {
                const QString name = QStringLiteral("%1%2").arg(QLatin1Char(letter)).arg(++orders[letter]);
                const PhoneReply reply = order(QStringLiteral("100001"), phoneOf(char(letter + 32)), name);
                ASSERT_EQ(reply.status, 200) << reply.body.toStdString();
            }
        }
        EXPECT_EQ(playOrder(), c.expected);
        // The phones are shown the order that will play.
        const QJsonArray shown = get(QStringLiteral("api/queue")).json.value(QStringLiteral("songs")).toArray();
        QStringList shownNames;
        for (const QJsonValue &song : shown)
            shownNames << (song[QStringLiteral("by")].toString().isEmpty() ? QStringLiteral("K") : song[QStringLiteral("by")].toString());
        EXPECT_EQ(shownNames, c.expected);
    }
}

TEST_F(PhoneFixture, TheChartsTabListsWhatThePlainCountGivesAndAppearsOnceSomethingWasSung)
{
    EXPECT_FALSE(get(QStringLiteral("api/info")).json.value(QStringLiteral("charts")).toBool()) << "empty history";
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    generateHistory(home.catalogue.database(),
                    {QStringLiteral("100001"), QStringLiteral("100002"), QStringLiteral("100003"), QStringLiteral("100004"),
                     QStringLiteral("100009")},
                    400, 60, now);
    home.catalogue.database().ExecuteSql(
        QStringLiteral("UPDATE play_history SET score = 88 WHERE play_id = (SELECT max(play_id) FROM play_history)"));
    EXPECT_TRUE(get(QStringLiteral("api/info")).json.value(QStringLiteral("charts")).toBool());
    for (const int period : {1, 2}) {
        QStringList listed;
        for (const QJsonValue &song : get(QStringLiteral("api/charts?period=%1").arg(period)).json["songs"].toArray())
            listed << song["num"].toString() + QLatin1Char('|') + QString::number(song["times"].toInt());
        EXPECT_EQ(listed, plainChart(home.reader, period == 1 ? std::optional(now - 30 * 86400) : std::nullopt, true))
            << "period " << period << ": 100009 is not in the catalogue and is not offered";
    }
    const QJsonArray sung = get(QStringLiteral("api/charts?period=3")).json["songs"].toArray();
    ASSERT_FALSE(sung.isEmpty());
    EXPECT_EQ(sung.first()["score"].toInt(), 88) << "the last song sung, with its score";
    EXPECT_FALSE(sung.at(1).toObject().contains(QStringLiteral("score")));
    EXPECT_EQ(get(QStringLiteral("api/charts?period=4")).status, 400);
}

} // namespace
