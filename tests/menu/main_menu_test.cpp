#include "menu/menu_fixture.h"

#include "menu/start_form.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kMainMenu = {"   主目錄", "1.字數點歌", "2.歌星點歌", "3.曲目編號點歌", "4.刪除點歌",
                               "5.插播",    "6.開始唱歌", "7.錄音檔",   "8.多媒體",       "0.關機"};

using MainMenuTest = MenuFixture;

TEST_F(MainMenuTest, ShowsTheMainMenuAndTakesOneKeyChoicesTranslatedByTheSettingsWhateverTheirSource)
{
    EXPECT_EQ(screen(), kMainMenu);
    EXPECT_EQ(menuState(), "0");
    type("*");
    EXPECT_EQ(screen(), kMainMenu);
    EXPECT_EQ(menu().menu().InputBuffer, "") << "a wrong key is forgotten at once";
    type("9");
    EXPECT_EQ(menu().menu().InputBuffer, "");
    type("1");
    EXPECT_EQ(menuState(), "1") << "the next key is again a fresh choice";
    EXPECT_EQ(screen().first(), "請輸入曲目種類");

    const struct { const char *key; const char *state; const char *firstLine; } choices[] = {
        {"2", "2", "請輸入曲目種類"}, {"3", "3", "1."}, {"4", "4", "1."}, {"5", "5", "1."}};
    for (const auto &c : choices) {
        menu().show_main_menu();
        type(c.key);
        EXPECT_EQ(menuState(), c.state) << c.key;
        EXPECT_EQ(screen().first(), c.firstLine) << c.key;
    }

    menu().show_main_menu();
    type("0");
    EXPECT_EQ(menuState(), "10");
    EXPECT_EQ(screen(), QStringList({"1. 確定關閉唱歌程式及關機", "2. 確定關閉唱歌程式及繼續", "   使用Windows作業系統",
                                     "0. 回主選單"}));
    type("3\r9");
    EXPECT_EQ(menuState(), "10");
    EXPECT_EQ(programEnds, 0);
    type("0");
    EXPECT_EQ(screen(), kMainMenu);
    type("02");
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(fakes.shutdown.powerOffs, 0);
    type("1");
    EXPECT_EQ(programEnds, 2);
    EXPECT_EQ(fakes.shutdown.powerOffs, 1);

    // Keys are translated by the settings, whatever their source.
    menu().show_main_menu();
    press(200); // matches no setting
    EXPECT_EQ(screen(), kMainMenu);

    state.settings.keyPlus = "200";
    state.settings.keyNum[3] = "200";
    press(200);
    EXPECT_EQ(menuState(), "3") << "a code set as both + and 3 arrives as 3";

    menu().show_main_menu();
    QTest::keyClick(menu().Picture1, Qt::Key_2);
    EXPECT_EQ(menuState(), "2") << "the keyboard reaches the same entry point";

    menu().show_main_menu();
    emit menu().number_key[1]->pressed();
    EXPECT_EQ(menuState(), "1") << "an on-screen key press acts";

    type("1");
    state.settings.keyEnter = "10";
    type("5");
    emit menu().number_enter->pressed();
    EXPECT_EQ(menuState(), "1_1") << "with Enter remapped, the on-screen Enter does nothing";
    type("5");
    press(10);
    EXPECT_EQ(echo(), "沒有這種組合!!") << "the remapped code is Enter";
}

TEST_F(MainMenuTest, ChoiceSixOpensThePlayerAndThePositionLineShowsOnlyWhileTheMenuPlayerPlays)
{
    int opened = 0;
    menu().openPlayer = [&] {
        ++opened;
        EXPECT_FALSE(menu().Timer1->isActive()) << "the menu's timer rests while the player is open";
    };
    type("6");
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(menu().Timer1->isActive());
    EXPECT_EQ(menu().menu().InputBuffer, "");
    menu().Form_Activate();
    EXPECT_EQ(screen(), kMainMenu);

    // The position line shows only while the menu's own player plays.
    menu();
    auto *player = fakes.mediaPlayers.created.at(0);
    player->setUrl("file:///x.mp3");
    player->play();
    player->setPosition("01:23");
    QTest::qWait(250);
    EXPECT_EQ(menu().Label2->text(), "01:23");
    player->pause();
    QTest::qWait(250);
    EXPECT_EQ(menu().Label2->text(), "");
}

TEST(StartFormTest, ShowsTheTitlePictureForFourSecondsThenTheMenu)
{
    FakeClock clock;
    bool menuShown = false;
    StartForm start(QSize(800, 600), clock, [&] {
        menuShown = true;
        EXPECT_DOUBLE_EQ(clock.secondsWaited, 4);
    });
    EXPECT_EQ(start.pos(), QPoint(800, 600)) << "outside the screen until the picture is ready";
    start.run();
    EXPECT_TRUE(menuShown);
    EXPECT_FALSE(start.isVisible());
    const QImage picture = StartForm::titlePicture(QSize(800, 600)).toImage();
    EXPECT_NE(picture.pixelColor(400, 200), picture.pixelColor(5, 595)) << "a picture, not an empty screen";
}

} // namespace
