// "9.熱門排行" on the main menu: hidden until something was sung, then the charts as the
// title-length list shows a list, in the order a plain count over the history gives.
#include "core/play_history.h"
#include "menu/menu_fixture.h"
#include "support/history_builder.h"

#include <QDateTime>

namespace {

class ChartsListTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        const qint64 singer = catalogue.addSinger("周杰倫", 1);
        for (int i = 0; i < 150; ++i) {
            songs.push_back(QStringLiteral("%1").arg(200000 + i));
            catalogue.addSong(songs.back(), 1, QStringLiteral("歌") + songs.back(), singer);
        }
    }
    std::vector<QString> songs;
};

TEST_F(ChartsListTest, HiddenUntilSomethingWasSung)
{
    EXPECT_FALSE(screen().contains("9.熱門排行"));
    type("9");
    EXPECT_EQ(menuState(), "0") << "the key does nothing while the entry is hidden";
    PlayRecord play;
    play.songNum = songs[0];
    play.startedAt = QDateTime::currentSecsSinceEpoch();
    play.playedSeconds = 10; // started, not sung
    PlayHistory::write(catalogue.database(), play, 0);
    menu().show_main_menu();
    EXPECT_FALSE(screen().contains("9.熱門排行"));
    play.playedSeconds = 30;
    PlayHistory::write(catalogue.database(), play, 0);
    menu().show_main_menu();
    EXPECT_EQ(screen().last(), "9.熱門排行") << "drawn under the others";
}

TEST_F(ChartsListTest, TheFirstTwoPagesAreThePlainCountAndANumberOrdersTheSong)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    generateHistory(catalogue.database(), songs, 5000, 60, now);
    const QStringList plain = plainChart(reader, now - 30 * 86400, true);
    const auto expectedPage = [&](int page) {
        QStringList lines;
        for (int i = (page - 1) * 10; i < page * 10; ++i)
            lines << QStringLiteral("%1.歌%2--歌手").arg(i + 1, 3, 10, QLatin1Char('0')).arg(plain[i].section('|', 0, 0));
        return lines;
    };
    menu().show_main_menu();
    type("9");
    EXPECT_EQ(menuState(), "9");
    EXPECT_EQ(screen().mid(0, 10), expectedPage(1));
    EXPECT_TRUE(screen().contains("熱門排行 最近 30 天 (按\"*\"看全部)"));
    type("+");
    EXPECT_EQ(screen().mid(0, 10), expectedPage(2));
    type("12\r");
    EXPECT_EQ(queueTexts(true), QStringList{plain[11].section('|', 0, 0)});
    type("*");
    const QStringList all = plainChart(reader, std::nullopt, true);
    EXPECT_EQ(screen().first(), QStringLiteral("001.歌%1--歌手").arg(all[0].section('|', 0, 0)));
    EXPECT_TRUE(screen().contains("熱門排行 全部 (按\"*\"看最近 30 天)"));
    type("0\r");
    EXPECT_EQ(menuState(), "0");
}

TEST_F(ChartsListTest, ASongDeletedSinceIsNotOffered)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    generateHistory(catalogue.database(), songs, 2000, 30, now);
    const QString first = plainChart(reader, now - 30 * 86400, true).first().section('|', 0, 0);
    catalogue.database().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"), {first});
    menu().show_main_menu();
    type("9");
    EXPECT_FALSE(screen().first().contains(first));
    type("1\r");
    EXPECT_NE(queueTexts(true), QStringList{first});
    EXPECT_EQ(queueTexts(true).size(), 1);
}

} // namespace
