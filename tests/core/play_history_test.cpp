// The play history on real catalogue files: what counts as sung, the charts against a plain
// count over the same rows, the writer on its own thread, and forgetting old plays.
#include "core/history_options.h"
#include "core/history_writer.h"
#include "core/play_history.h"
#include "support/catalogue_home.h"
#include "support/fake_clock.h"
#include "support/fake_file_system.h"
#include "support/history_builder.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kNow = 1796601600; // 2026-12-07

QStringList chartLines(const std::vector<ChartRow> &rows)
{
    QStringList lines;
    for (const ChartRow &row : rows)
        lines << row.songNum + QLatin1Char('|') + QString::number(row.timesSung);
    return lines;
}

class PlayHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.init.ok) << home.init.problem.toStdString();
        const qint64 singer = home.catalogue.addSinger(QStringLiteral("歌手"), 1);
        for (int i = 0; i < 300; ++i) {
            songs.push_back(QStringLiteral("%1").arg(100000 + i));
            home.catalogue.addSong(songs.back(), 1, QStringLiteral("歌") + songs.back(), singer);
        }
    }
    Database &db() { return home.catalogue.database(); }

    FakeFileSystem fs;
    FakeClock clock;
    CatalogueHome home{fs, clock};
    std::vector<QString> songs;
};

TEST(PlayRecordTest, SungIsThirtySecondsOrHalfTheSong)
{
    struct Case
    {
        int played;
        int length;
        bool sung;
    } cases[] = {{29, 0, false}, {30, 0, true}, {29, 200, false}, {29, 58, true}, {28, 58, false},
                 {10, 20, true}, {9, 20, false}, {0, 0, false}, {31, 1000, true}};
    for (const Case &c : cases) {
        PlayRecord play;
        play.playedSeconds = c.played;
        play.lengthSeconds = c.length;
        EXPECT_EQ(play.sung(), c.sung) << c.played << " of " << c.length;
    }
}

TEST_F(PlayHistoryTest, ChartsOfFiveThousandPlaysAgreeWithAPlainCount)
{
    generateHistory(db(), songs, 5000, 60, kNow);
    const qint64 since = kNow - 30 * 86400;
    // A song deleted since is counted in the history and never offered to be ordered.
    const QString deleted = plainChart(db(), since, false).first().section(QLatin1Char('|'), 0, 0);
    db().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"), {deleted});

    for (const std::optional<qint64> period : {std::optional(since), std::optional<qint64>()}) {
        for (const bool orderable : {false, true}) {
            const QStringList plain = plainChart(db(), period, orderable);
            ASSERT_EQ(plain.size(), 100);
            EXPECT_EQ(chartLines(PlayHistory::chart(db(), period, 100, orderable)), plain)
                << (period ? "30 days" : "all") << (orderable ? ", orderable" : "");
        }
    }
    const std::vector<ChartRow> all = PlayHistory::chart(db(), since);
    EXPECT_EQ(all.front().songNum, deleted);
    EXPECT_FALSE(all.front().inCatalogue);
    EXPECT_EQ(all.front().title, QStringLiteral("歌") + deleted) << "the title kept with the plays";
    EXPECT_EQ(PlayHistory::sungSince(db(), since),
              home.count(QStringLiteral("SELECT count(*) FROM play_history WHERE started_at >= ? AND "
                                        "(played_seconds >= 30 OR (length_seconds > 0 AND 2 * played_seconds >= length_seconds))"),
                         {since}));
}

TEST_F(PlayHistoryTest, TheAllTimeChartFollowsPlaysThatBecomeSungAndPlaysForgotten)
{
    PlayRecord play;
    play.songNum = songs[0];
    play.title = QStringLiteral("晴天");
    play.singer = QStringLiteral("周杰倫");
    play.startedAt = kNow - 100;
    const qint64 row = PlayHistory::write(db(), play, 0);
    EXPECT_FALSE(PlayHistory::anySung(db())) << "a song just started is not sung yet";
    play.playedSeconds = 31;
    PlayHistory::write(db(), play, row);
    PlayHistory::write(db(), play, row); // written again as it plays on: still once
    ASSERT_EQ(chartLines(PlayHistory::chart(db(), std::nullopt)), QStringList{songs[0] + "|1"});
    play.startedAt = kNow - 40 * 86400;
    PlayHistory::write(db(), play, 0);
    EXPECT_EQ(chartLines(PlayHistory::chart(db(), std::nullopt)), QStringList{songs[0] + "|2"});
    EXPECT_EQ(chartLines(PlayHistory::chart(db(), kNow - 30 * 86400)), QStringList{songs[0] + "|1"});
    EXPECT_EQ(PlayHistory::forgetBefore(db(), kNow - 30 * 86400), 1);
    EXPECT_EQ(chartLines(PlayHistory::chart(db(), std::nullopt)), QStringList{songs[0] + "|1"});
    EXPECT_EQ(PlayHistory::forgetBefore(db(), kNow), 1);
    EXPECT_FALSE(PlayHistory::anySung(db())) << "the chart row goes with the last play";
}

TEST_F(PlayHistoryTest, TheWriterWritesEachPlayOnceWithItsLastStateAndForgetsOldPlaysAtStart)
{
    PlayRecord old;
    old.songNum = songs[1];
    old.title = old.singer = QStringLiteral("舊");
    old.startedAt = QDateTime::currentSecsSinceEpoch() - 3 * 86400;
    PlayHistory::write(db(), old, 0);
    {
        HistoryWriter writer(home.state.DbPath, 2);
        PlayRecord play;
        play.songNum = songs[2];
        play.title = QStringLiteral("晴天");
        play.singer = QStringLiteral("周杰倫");
        play.startedAt = QDateTime::currentSecsSinceEpoch();
        play.orderedBy = QStringLiteral("小明");
        play.phone = QString(20, QLatin1Char('a'));
        const HistoryWriter::Play first = writer.start(play);
        for (int s = 1; s <= 50; ++s) {
            play.playedSeconds = s;
            writer.update(first, play);
        }
        play.end = PlayEnd::Skipped;
        play.key = 2;
        play.channel = 3;
        play.score = 87;
        writer.update(first, play);
        PlayRecord second = play;
        second.songNum = songs[3];
        second.score.reset();
        writer.start(second);
        ASSERT_TRUE(writer.flush(5000));
    }
    EXPECT_EQ(home.rows(QStringLiteral("SELECT song_num, song_name, singer_name, played_seconds, ended_how, ordered_by, "
                                       "key_end, channel_end, score, sung FROM play_history ORDER BY play_id")),
              (QStringList{songs[2] + "|晴天|周杰倫|50|2|小明|2|3|87|1", songs[3] + "|晴天|周杰倫|50|2|小明|2|3||1"}))
        << "the play of three days ago is forgotten when two days are kept";
    EXPECT_EQ(PlayHistory::lastKey(db(), songs[2]), 2);
    EXPECT_EQ(PlayHistory::lastKey(db(), songs[4]), 0);
}

TEST(HistoryOptionsTest, OptionalLinesAreReadStrictly)
{
    struct Case
    {
        const char *text;
        int days;
        bool rememberKey;
        bool fairTurns;
        bool notice;
    } cases[] = {
        {"", 365, false, false, false},
        {"HistoryDays = 30\nRememberKey = 1\nFairTurns = 1\n", 30, true, true, false},
        {"historydays=7\nRememberKey = 0\nFairTurns = yes\n", 7, false, false, false},
        {"HistoryDays = 0\n", 365, false, false, true},
        {"HistoryDays = a year\n", 365, false, false, true},
        {"HistoryDays = 36501\n", 365, false, false, true},
        {"HistoryDays = -5\n", 365, false, false, true},
    };
    for (const Case &c : cases) {
        QString notice;
        const HistoryOptions options = HistoryOptions::fromSettingsText(QString::fromUtf8(c.text), &notice);
        EXPECT_EQ(options.keepDays, c.days) << c.text;
        EXPECT_EQ(options.rememberKey, c.rememberKey) << c.text;
        EXPECT_EQ(options.fairTurns, c.fairTurns) << c.text;
        EXPECT_EQ(!notice.isEmpty(), c.notice) << c.text;
    }
}

} // namespace
