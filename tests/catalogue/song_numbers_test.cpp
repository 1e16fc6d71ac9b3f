// Song numbers and similar titles, on the real catalogue file.
#include "catalogue/similar_titles.h"
#include "catalogue/song_numbers.h"
#include "core/scoped_transaction.h"
#include "support/catalogue_home.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class SongNumbers : public ::testing::Test, public FakePlatform, public CatalogueHome
{
protected:
    SongNumbers()
        : CatalogueHome(fileSystem, clock)
    {
    }
    void addNumbers(const QStringList &numbers)
    {
        const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
        ScopedTransaction many(catalogue.database());
        for (const QString &number : numbers)
            catalogue.addSong(number, 1, QStringLiteral("歌名"), singer);
        many.commit();
    }
};

QStringList serials(const QString &prefix, int from, int to)
{
    QStringList numbers;
    for (int s = from; s <= to; ++s)
        numbers.append(prefix + QStringLiteral("%1").arg(s, 3, 10, QLatin1Char('0')));
    return numbers;
}

// The rule at its plainest: try serial 1, 2, 3 ... against every number of the prefix.
QString newNumberTheSlowWay(const QStringList &stored, const QString &prefix)
{
    for (int serial = 1;; ++serial) {
        const QString candidate = prefix + QStringLiteral("%1").arg(serial, 3, 10, QLatin1Char('0'));
        if (!stored.contains(candidate))
            return candidate;
    }
}

TEST_F(SongNumbers, TheLowestFreeSerialFillsGapsFirstAndGrowsPast999)
{
    struct Case
    {
        int kind;
        int count;
        QString expected;
    };
    addNumbers(QStringList{"105001", "105003"} + serials("103", 1, 999) + QStringList{"1031001"}
               + QStringList{"1070001", "107abc", "10701", "107 002", "1100001"});
    const Case cases[] = {
        {1, 5, "105002"},  // the gap left by a deleted song
        {2, 5, "205001"},  // nothing with the prefix yet
        {1, 3, "1031000"}, // past 999: seven characters
        {1, 7, "107001"},  // numbers not written as the rule writes them take no serial
        {0, 12, "012001"},
        {1, 10, "110001"}, // "1100001" is serial 1 of count 100, not of count 10
    };
    for (const Case &c : cases)
        EXPECT_EQ(Get_NewSongNum(state.db(), c.kind, c.count), c.expected) << c.kind << " " << c.count;
}

// A serial past 999 is written in full and read back as taken.
TEST_F(SongNumbers, ASerialPast999IsTakenWhenStored)
{
    addNumbers(serials("211", 1, 999) + QStringList{"2111000"});
    EXPECT_EQ(Get_NewSongNum(state.db(), 2, 11), QStringLiteral("2111001"));
}

TEST_F(SongNumbers, GivesWhatTryingEverySerialGives)
{
    std::mt19937 rng(7);
    QStringList stored;
    for (int i = 0; i < 1500; ++i) {
        const int serial = std::uniform_int_distribution<int>(1, 1100)(rng);
        stored.append(QStringLiteral("412") + QStringLiteral("%1").arg(serial, 3, 10, QLatin1Char('0')));
    }
    addNumbers(stored);
    EXPECT_EQ(Get_NewSongNum(state.db(), 4, 12), newNumberTheSlowWay(stored, QStringLiteral("412")));
}

TEST_F(SongNumbers, WholeNumbersTheColumnCanHold)
{
    for (const char *good : {"105001", "0", "123456789"})
        EXPECT_TRUE(isSongNumberText(QString::fromUtf8(good))) << good;
    for (const char *bad : {"", "1234567890", "10500a", "105 001", "-105001", "１０５", "1e5"})
        EXPECT_FALSE(isSongNumberText(QString::fromUtf8(bad))) << bad;
}

TEST_F(SongNumbers, SimilarTitlesBeginWithTheNewTitleAndHaveItsCount)
{
    const qint64 singer = catalogue.addSinger(QStringLiteral("歌手"), 1);
    // addSong stores the title's length as its count.
    catalogue.addSong("104001", 1, QStringLiteral("月亮代表"), singer);
    catalogue.addSong("104002", 1, QStringLiteral("月亮好圓"), singer);
    catalogue.addSong("105001", 1, QStringLiteral("月亮代表我"), singer); // another count
    catalogue.addSong("104003", 1, QStringLiteral("10%愛"), singer);
    catalogue.addSong("104004", 1, QStringLiteral("10x愛"), singer);
    catalogue.addSong("104005", 1, QStringLiteral("a_b'"), singer);
    catalogue.addSong("104006", 1, QStringLiteral("axb'"), singer);
    struct Case
    {
        QString title;
        QStringList numbers;
    };
    const Case cases[] = {
        {QStringLiteral("月亮"), {"104001", "104002"}},
        {QStringLiteral(" 月亮代 "), {"104001"}},
        {QStringLiteral("10%"), {"104003"}}, // "%" is itself
        {QStringLiteral("a_b'"), {"104005"}}, // so are "_" and the apostrophe
        {QStringLiteral("太陽"), {}},
    };
    for (const Case &c : cases) {
        QStringList found;
        for (const SimilarSong &song : findSimilarTitles(state.db(), c.title, 4))
            found.append(song.song_num);
        EXPECT_EQ(found, c.numbers) << c.title.toStdString();
    }
    EXPECT_EQ(findSimilarTitles(state.db(), QStringLiteral("月亮"), 4, 1).size(), 1);
}

} // namespace
