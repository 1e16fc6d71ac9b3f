#include "menu/menu_fixture.h"

#include "core/lookups.h"
#include "menu/start_form.h"
#include "core/init_system.h"
#include "core/queue_writer.h"
#include "support/process_watch.h"
#include "support/small_disk.h"
#include "widgets/foot_notices.h"
#include "widgets/notice_strip.h"
#include "widgets/phone_code_panel.h"

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// What a phone's camera reads in a picture (zbarimg); empty when nothing, nullopt without zbarimg.
std::optional<QString> readQrCode(const QImage &picture)
{
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty())
        return std::nullopt;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    picture.save(file);
    QProcess process;
    process.start(zbar, {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

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

TEST_F(MainMenuTest, ThePhoneAddressStandsAboveTheKeypadAsAQrCodeAndPhonesLeaveTheKeypadAlone)
{
    const QString url = "http://192.168.1.23:8080/ABCDEFGHJKLMNP/";
    menu().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&menu()));
    EXPECT_FALSE(menu().phoneCode->isVisible()) << "without phone ordering the band stays empty";
    menu().setPhoneAddress(url);
    EXPECT_TRUE(menu().phoneCode->isVisible());
    EXPECT_EQ(menu().phoneCode->text(), "手機點歌\n" + url);
    EXPECT_LE(menu().phoneCode->geometry().bottom(), menu().number_div->geometry().top());
    EXPECT_GE(menu().phoneCode->geometry().top(), menu().Label1->geometry().bottom());
    for (const QImage &picture : {menu().phoneCode->grab().toImage(), StartForm::titlePicture(QSize(1280, 720), url).toImage()}) {
        const std::optional<QString> read = readQrCode(picture);
        EXPECT_EQ(read.value_or(url), url) << "a phone's camera reads the address (zbarimg, from scripts/install-deps.sh)";
    }
    type("8");
    EXPECT_FALSE(menu().phoneCode->isVisible()) << "the multimedia flow writes where the code stands";
    menu().show_main_menu();
    EXPECT_TRUE(menu().phoneCode->isVisible());
    menu().setPhoneAddress(QString(), "手機點歌無法啟動: 連接埠 8080 已被佔用");
    EXPECT_EQ(menu().phoneCode->text(), "手機點歌無法啟動: 連接埠 8080 已被佔用");

    // A phone's order: a notice over the menu, the keypad keeps its focus and its digits, and a
    // queue list on screen shows the new song.
    catalogue.addSong("100001", 1, "晴天", catalogue.addSinger("周杰倫", 1));
    type("4");
    EXPECT_EQ(menuState(), "4");
    menu().Picture1->setFocus();
    QWidget *focused = QApplication::focusWidget();
    type("1");
    const qint64 memoryBefore = ProcessWatch::residentBytes();
    NoticeStrip notices(QSize(1280, 720));
    const QString guest = "<img src=/dev/zero> & <b>粗</b>";
    notices.notify(guest + " 點了 晴天");
    AddToOrderList(state, "100001", Orderer{guest, QString(20, 'a')});
    QTest::qWait(20);
    EXPECT_TRUE(notices.isVisible());
    notices.grab();
    EXPECT_LT(ProcessWatch::residentBytes() - memoryBefore, 16 << 20) << "a guest's name is never read as a picture";
    EXPECT_EQ(QApplication::activeWindow(), &menu()) << "a window taking the activation would redraw the main menu";
    EXPECT_EQ(notices.lines(), QStringList({guest + " 點了 晴天"}));
    EXPECT_EQ(labelsReadingMarkup(), QStringList());
    EXPECT_EQ(QApplication::focusWidget(), focused);
    EXPECT_TRUE(screen().contains("1. 晴天--周杰倫")) << screen().join('\n').toStdString();
    EXPECT_EQ(menu().menu().InputBuffer, "") << "the line typed holds another song now";
    EXPECT_EQ(echo(), "點歌單已變動,請重選");
    type("\r");
    EXPECT_EQ(state.OrderedSongs.length(), 1) << "the guest's keys act on the list as shown";
}

TEST_F(MainMenuTest, AQueueThatCannotBeSavedSaysSoAtTheFootOfTheMenuUntilItIsSavedAgain)
{
    SmallDisk disk;
    ASSERT_TRUE(disk.mounted()) << disk.whyNot().toStdString();
    SharedState onDisk;
    ASSERT_TRUE(InitSystem(onDisk, fakes.fileSystem, fakes.clock, disk.path()).ok);
    QueueWriter writer(onDisk.DbPath, std::vector<QueueRow>{});
    menu().show();
    FootNotices notices(menu(), QSize(1280, 720));
    notices.followQueueSaving(writer);
    ASSERT_TRUE(disk.leaveFree(0));
    onDisk.OrderedSongs.append({"100001", "晴天--周杰倫"});
    writer.save(onDisk.OrderedSongs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notices.text() == "點歌單無法存檔"; }, 1000));
    ASSERT_TRUE(QFile::remove(disk.file(".filler")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notices.text().isEmpty(); }, 3000)) << "saved again";
}

TEST_F(MainMenuTest, TheFootNoticeIsOneLineThatFitsEveryScreenShortenedAtItsEnd)
{
    const QString venue = QStringLiteral("曲目伺服器不是這個場地的目錄 (以本機的曲目播放)");
    for (const QSize screen : {QSize(1024, 768), QSize(1280, 720), QSize(1920, 1080)}) {
        SCOPED_TRACE(screen.width());
        QWidget menuScreen;
        menuScreen.resize(screen);
        FootNotices notices(menuScreen, screen);
        notices.set(FootNotices::Venue, venue);
        notices.set(FootNotices::Queue, QStringLiteral("點歌單無法存檔"));
        menuScreen.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.text().isEmpty(); }, 1000));
        const auto *line = menuScreen.findChild<QLabel *>(QStringLiteral("footNotices"));
        ASSERT_TRUE(line);
        EXPECT_LE(line->geometry().right(), screen.width() - 1);
        EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
        EXPECT_TRUE(line->text().startsWith(venue.left(10))) << line->text().toStdString();
        EXPECT_EQ(notices.text(), venue + QStringLiteral("  點歌單無法存檔"));
        // Long enough to need shortening everywhere: shown up to an ellipsis, in one line.
        notices.set(FootNotices::Venue, venue.repeated(4));
        ASSERT_TRUE(QTest::qWaitFor([&] { return notices.text().startsWith(venue + venue); }, 1000));
        EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
        EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
        EXPECT_FALSE(line->wordWrap());
    }
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
