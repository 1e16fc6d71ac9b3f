#include "menu/menu_fixture.h"

namespace {

class OrderByTextCountTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        singer = catalogue.addSinger("周杰倫", 1);
        // 23 three-character kind-1 titles: three pages of ten.
        for (int i = 0; i < 23; ++i)
            catalogue.addSong(QStringLiteral("103%1").arg(i + 1, 3, 10, QLatin1Char('0')), 1,
                              QStringLiteral("歌%1").arg(QChar(0x4E00 + i)) + QStringLiteral("曲"), singer);
        catalogue.addSong("711001", 7, "粵語一曲長長長長長長長", singer); // first by name, last by length
        catalogue.addSong("710001", 7, "粵語歌曲長長長長長長", singer);
    }
    qint64 singer = 0;
};

TEST_F(OrderByTextCountTest, TheWholeRoadFromKindToAQueuedSongAndPagingThatStopsAtTheEnds)
{
    type("1");
    EXPECT_EQ(screen(), QStringList({"請輸入曲目種類", "0.台語", "1.國語", "2.客語", "3.英語", "4.日語", "5.兒歌",
                                     "6.其它", "9.上一目錄"}));
    type("1");
    EXPECT_EQ(menuState(), "1_1");
    EXPECT_EQ(screen(), QStringList({"請輸入您所想要瀏覽的 ", "國語 歌的字數,", "然後再按確定開始選歌..",
                                     "選\"0\"可回主目錄...0"}));
    type("5.");
    EXPECT_EQ(echo(), "");
    type("3\r");
    EXPECT_EQ(menuState(), "1_2");
    const QStringList page1 = screen();
    EXPECT_EQ(page1.first(), "001.歌一曲--周杰倫");
    EXPECT_EQ(page1.at(9), "010.歌三曲--周杰倫");
    EXPECT_TRUE(page1.contains("國語 類"));
    EXPECT_EQ(page1.last(), "  第 1 頁 選\"0\"可回主選單");

    type("+");
    EXPECT_EQ(screen().first(), "011.歌上曲--周杰倫");
    type("12\r");
    EXPECT_EQ(queueTexts(), QStringList({"歌下曲--周杰倫"}));
    EXPECT_EQ(state.OrderedSongs.row(0).key, "103012");
    const QStringList after = screen();
    EXPECT_EQ(after.first(), "011.歌上曲--周杰倫") << "the same page is drawn again";
    const int kindLine = int(after.indexOf("國語 類"));
    ASSERT_GE(kindLine, 0);
    EXPECT_EQ(after.at(kindLine + 1), "成功點入:歌下曲--周杰倫....");
    EXPECT_EQ(menu().menu().InputBuffer, "");
    type("3\r");
    EXPECT_EQ(queueTexts().size(), 2) << "several songs in a row";

    // Paging stops at the ends, and past the results shows bare numbers.
    type("--");
    EXPECT_EQ(state.PageNo, 1);
    type("+++");
    EXPECT_EQ(screen().first(), "031.");
    type("31\r");
    EXPECT_EQ(queueTexts().size(), 2) << "an empty row adds nothing";
    EXPECT_EQ(menu().menu().InputBuffer, "31") << "and the digits stay";
    type(".");
    EXPECT_EQ(echo(), "3");
    state.PageNo = 500;
    type("+");
    EXPECT_EQ(state.PageNo, 500);
    type(".0\r");
    EXPECT_EQ(menuState(), "1") << "0 and Enter in the list go back to the kind choice";
}

TEST_F(OrderByTextCountTest, KindSevenLongTitlesWrongCountsAndKeysThatMatchNothing)
{
    type("17");
    EXPECT_EQ(menuState(), "1_1") << "kind 7 works although the screen does not list it";
    type("4\r");
    EXPECT_EQ(echo(), "沒有這種組合!!");
    EXPECT_EQ(menuState(), "1_1");
    type("12\r");
    EXPECT_EQ(screen().first(), "001.粵語歌曲長長長長長長--周杰倫") << "ten or more, shortest first";
    EXPECT_EQ(screen().at(1), "002.粵語一曲長長長長長長長--周杰倫");

    type("0\r");
    type("1");
    type("99999999999999999999\r");
    EXPECT_EQ(menuState(), "1_1") << "a count past the integers is no count";
    type("");
    menu().menu().InputBuffer.clear();
    type("3\r");
    type("99999999999999999999\r");
    type("4294967297\r");
    EXPECT_TRUE(queueTexts().isEmpty()) << "huge positions change nothing";

    type("\r");
    menu().menu().InputBuffer.clear();
    type("0\r");
    EXPECT_EQ(menuState(), "1");
    type("1");
    type("0\r");
    EXPECT_EQ(menuState(), "0") << "0 and Enter in the count entry go to the main menu";

    // A key that matches nothing empties the count and redraws its prompt.
    type("11");
    type("25");
    EXPECT_EQ(echo(), "25");
    press(200);
    EXPECT_EQ(menu().menu().InputBuffer, "");
    EXPECT_EQ(screen().last(), "選\"0\"可回主目錄...0");
}

} // namespace
