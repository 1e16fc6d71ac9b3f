#include "menu/menu_fixture.h"

namespace {

class OrderBySingerTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        // 30 female singers; singer 13 (page 2) has 14 songs.
        for (int i = 1; i <= 30; ++i)
            codes.append(catalogue.addSinger(QStringLiteral("歌手%1").arg(i, 2, 10, QLatin1Char('0')), 0));
        for (int i = 1; i <= 14; ++i)
            catalogue.addSong(QStringLiteral("1%1").arg(i, 5, 10, QLatin1Char('0')), 1,
                              QStringLiteral("第%1首").arg(i, 2, 10, QLatin1Char('0')), codes.at(12));
        catalogue.addSinger("合唱團", 2);
    }
    QList<qint64> codes;
};

TEST_F(OrderBySingerTest, GroupsListTheirSingersTwelveToAPageAndOrderingReturnsToThePageItCameFrom)
{
    type("2");
    EXPECT_EQ(screen(), QStringList({"請輸入曲目種類", "1.女歌手", "2.男歌手", "3.團體or其它", "9.上一目錄"}));
    type("7");
    EXPECT_EQ(menuState(), "2") << "other keys are forgotten";
    type("3");
    EXPECT_EQ(screen().first(), "001.合唱團");
    type("0\r2");
    EXPECT_EQ(screen().mid(0, 12), QStringList({"001.", "002.", "003.", "004.", "005.", "006.", "007.", "008.", "009.",
                                                "010.", "011.", "012."}))
        << "an empty group shows bare numbers";
    EXPECT_EQ(screen().last(), "  第 1 頁 選\"0\"可回主選單");
    type("0\r1++");
    const QStringList page3 = screen();
    EXPECT_EQ(page3.first(), "025.歌手25");
    EXPECT_EQ(page3.at(5), "030.歌手30");
    EXPECT_EQ(page3.at(6), "031.");
    EXPECT_EQ(page3.at(11), "036.");
    type("0\r9");
    EXPECT_EQ(menuState(), "0");

    // Ordering from a singer returns to the singer page it came from.
    type("21+");
    type("1\r");
    EXPECT_EQ(menuState(), "2_1") << "a singer without songs: nothing happens";
    EXPECT_EQ(menu().menu().InputBuffer, "1");
    type(".13\r");
    EXPECT_EQ(menuState(), "2_2");
    EXPECT_EQ(screen().first(), "001.第01首");
    EXPECT_TRUE(screen().contains("歌手:歌手13"));
    type("+");
    EXPECT_EQ(screen().at(3), "014.第14首");
    type("14\r");
    EXPECT_EQ(queueTexts(), QStringList({"第14首--歌手13"}));
    EXPECT_EQ(screen().at(screen().indexOf("歌手:歌手13") + 1), "成功點入:第14首....");
    type("15\r");
    EXPECT_EQ(queueTexts().size(), 1) << "past the songs nothing is added";
    menu().menu().InputBuffer.clear();
    type("0\r");
    EXPECT_EQ(menuState(), "2_1");
    EXPECT_EQ(screen().first(), "013.歌手13") << "back on the singer page, not page 1";
    type("99999999999999999999999\r");
    type("\r");
    EXPECT_EQ(menuState(), "2_1");
}

} // namespace
