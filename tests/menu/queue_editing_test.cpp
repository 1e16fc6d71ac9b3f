#include "menu/menu_fixture.h"

#include <QPushButton>

namespace {

class QueueEditingTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        const qint64 s = catalogue.addSinger("鄧麗君", 0);
        for (int i = 1; i <= 12; ++i)
            catalogue.addSong(QStringLiteral("102%1").arg(i, 3, 10, QLatin1Char('0')), 1,
                              QStringLiteral("歌%1").arg(i), s);
    }
    void queueSongs(int n)
    {
        for (int i = 1; i <= n; ++i)
            type(QStringLiteral("102%1\r").arg(i, 3, 10, QLatin1Char('0')));
    }
};

TEST_F(QueueEditingTest, OrderingByNumberJumpsToThePageOfTheNewSongAndTheLastEntryOfAPageIsEditedLikeTheOthers)
{
    type("3");
    EXPECT_EQ(menu().number_de->text(), "上頁");
    EXPECT_EQ(menu().number_dot->text(), "C");
    EXPECT_EQ(screen().first(), "1.");
    EXPECT_EQ(screen().last(), "曲目點歌 選 \"0\" 可回主目錄 ");
    queueSongs(8);
    EXPECT_EQ(screen().at(7), "8. 歌8--鄧麗君");
    type("102009\r");
    EXPECT_EQ(screen().first(), "1. 歌9--鄧麗君");
    EXPECT_EQ(screen().at(8), "第 2 頁");
    EXPECT_EQ(echo(), "歌9");
    type("102010\r");
    EXPECT_EQ(screen().last(), "曲目點歌 選 \"0\" 可回主目錄");
    type("999\r");
    EXPECT_EQ(echo(), "沒這種歌!");
    type("4.\r");
    EXPECT_EQ(echo(), "沒這種歌!") << "Enter on nothing says so too";
    EXPECT_EQ(queueTexts().size(), 10);
    type("0\r");
    EXPECT_EQ(menuState(), "0");
    EXPECT_EQ(menu().number_de->text(), "-") << "captions come back with the main menu";

    // Entry 8 is the last of a page: deleting (4) and cutting in (5) reach it like any other.
    type("4");
    type("8\r");
    EXPECT_EQ(echo(), "刪了:歌8");
    EXPECT_EQ(queueTexts().size(), 9);
    EXPECT_EQ(queueTexts().at(7), "歌9--鄧麗君");
    type("0\r5");
    type("+");
    type("8\r");
    EXPECT_EQ(echo(), "沒歌可插!") << "page 2 holds one song";
    type("-");
    type("8\r");
    EXPECT_EQ(queueTexts().first(), "歌9--插播");
    EXPECT_EQ(queueTexts().at(1), "歌1--鄧麗君");
    EXPECT_EQ(queueTexts().size(), 9);
}

TEST_F(QueueEditingTest, DeletingShowsTheSongAndPacksTheQueueAndInsertingMovesASongToTheFront)
{
    type("3");
    queueSongs(4);
    type("0\r4");
    EXPECT_EQ(screen().last(), "刪除點歌 選 \"0\" 可回主目錄");
    type("1\r");
    EXPECT_EQ(echo(), "刪了:歌1");
    EXPECT_EQ(queueTexts(), QStringList({"歌2--鄧麗君", "歌3--鄧麗君", "歌4--鄧麗君"}));
    EXPECT_EQ(screen().first(), "1. 歌2--鄧麗君");
    type("00\r");
    EXPECT_EQ(echo(), "輸入錯誤!");
    EXPECT_EQ(menu().Label1->text(), " 輸入錯誤!");
    type("5\r");
    EXPECT_EQ(echo(), "沒歌可刪!");
    type("9\r");
    EXPECT_EQ(menu().menu().InputBuffer, "9") << "a row past the page is ignored";
    type("1");
    EXPECT_EQ(menu().menu().InputBuffer, "91");
    EXPECT_EQ(queueTexts().size(), 3);

    type("..0\r5");
    type("3\r");
    EXPECT_EQ(queueTexts(), QStringList({"歌4--插播", "歌2--鄧麗君", "歌3--鄧麗君"}));
    EXPECT_EQ(screen().first(), "1. 歌4--插播");
    EXPECT_EQ(screen().last(), "插歌功能 選 \"0\" 可回主目錄");
    type("1\r");
    EXPECT_EQ(queueTexts().first(), "歌4--插播");
    type("4\r");
    EXPECT_EQ(echo(), "沒歌可插!");
    type("00\r");
    EXPECT_EQ(echo(), "輸入錯誤!");
    type("0\r");
    EXPECT_EQ(menuState(), "0");
}

TEST_F(QueueEditingTest, ALineTypedNamesTheSongShownOnItWhilePhonesChangeTheQueue)
{
    type("3");
    queueSongs(5);
    type("0\r4");
    type("3"); // 歌3, on line 3
    state.OrderedSongs.removeAt(0); // a phone deletes 歌1 before Enter
    type("\r");
    EXPECT_EQ(echo(), "刪了:歌3");
    EXPECT_EQ(queueTexts(), QStringList({"歌2--鄧麗君", "歌4--鄧麗君", "歌5--鄧麗君"}));

    type("3"); // 歌5
    state.OrderedSongs.removeAt(2); // a phone deletes it
    type("\r");
    EXPECT_EQ(echo(), "這首歌已不在點歌單");
    EXPECT_EQ(queueTexts(), QStringList({"歌2--鄧麗君", "歌4--鄧麗君"})) << "nothing else is deleted";

    // Once the page is drawn again under the typed line, a line whose song changed is taken back.
    type("1");
    state.OrderedSongs.removeAt(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(screen().first(), "1. 歌4--鄧麗君");
    EXPECT_EQ(echo(), "點歌單已變動,請重選");
    type("\r");
    EXPECT_EQ(queueTexts(), QStringList({"歌4--鄧麗君"}));

    // Cutting in: the song shown on the line moves up, not the one a phone's cut-in put there.
    type("0\r3");
    queueSongs(3);
    type("0\r5");
    type("3"); // 歌2
    state.OrderedSongs.moveToHead(3, "歌3--插播");
    type("\r");
    EXPECT_EQ(queueTexts().first(), "歌2--插播");
}

TEST_F(QueueEditingTest, PagingGoesUpToPageFiveHundredAndAFullQueueIsHandled)
{
    for (int i = 0; !state.OrderedSongs.isFull(); ++i)
        state.OrderedSongs.append({"102001", QStringLiteral("第%1首").arg(i)});
    type("3102002\r");
    EXPECT_EQ(echo(), "點歌已滿!");
    EXPECT_EQ(state.OrderedSongs.length(), 5001);
    type("0\r4");
    for (int i = 0; i < 600; ++i)
        type("+");
    EXPECT_EQ(screen().at(7), "8. 第3999首") << "the last page the menu turns to";
    type("8\r");
    EXPECT_EQ(state.OrderedSongs.length(), 5000);
    EXPECT_EQ(state.OrderedSongs.row(3999).text, "第4000首");
    EXPECT_EQ(state.OrderedSongs.row(3998).text, "第3998首");
    type("0\r3102002\r");
    EXPECT_EQ(state.OrderedSongs.length(), 5001) << "a deleted row makes room for one more song";
}

} // namespace
