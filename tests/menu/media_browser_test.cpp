#include "menu/menu_fixture.h"

#include "support/fake_media_player.h"

#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kFooter = {"第 1 頁 音樂檔瀏覽", "\"0\" 回主目錄"};

class MediaBrowserTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        state.settings.pathCDROM = home.file("cdrom");
    }
    void makeFolder(const QString &name) { QDir().mkpath(home.file(name)); }
    void makeFile(const QString &name)
    {
        makeFolder(QFileInfo(name).path());
        home.write(name, "data");
    }
    void makePicture(const QString &name, QSize size)
    {
        makeFolder(QFileInfo(name).path());
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(home.file(name)));
    }
    FakeMediaPlayer &wmpMain() { return *fakes.mediaPlayers.created.front(); }
    QString playing() const { return fakes.mediaPlayers.created.front()->url().section('/', -1); }
    // The rows of the list that hold an entry, and the footer.
    QStringList listed()
    {
        QStringList lines;
        for (const QString &line : screen()) {
            if (!QRegularExpression("^\\d\\.$").match(line).hasMatch())
                lines.append(line.trimmed());
        }
        return lines;
    }
    void advanceMusic()
    {
        const QString before = playing();
        wmpMain().finishSong();
        ASSERT_TRUE(QTest::qWaitFor([&] { return playing() != before && wmpMain().playState() == PlayState::Playing; }, 2000));
    }
};

TEST_F(MediaBrowserTest, MusicFolderListsFoldersFirstAndPlaysInALoop)
{
    for (const char *name : {"Music/c.mp3", "Music/a.mp3", "Music/b.mid", "Music/notes.txt", "Music/一.wav",
                             "Music/B.mp3", "Music/sub/d.mp3"})
        makeFile(name);
    makeFolder("Music/z.mp3");
    type("8");
    EXPECT_EQ(screen(), QStringList({"請輸入多媒體功能", "1.音樂欣賞", "2.圖片觀賞", "3.影片欣賞(施工中)", "9.上一目錄"}));
    type("31");
    EXPECT_EQ(menuState(), "8") << "movies are under construction; the key after 3 is dropped";
    type("1");
    EXPECT_EQ(menuState(), "8_1");
    EXPECT_EQ(listed(), QStringList({"1. 光碟機", "2. sub<目錄>", "3. z.mp3<目錄>", "4. B.mp3", "5. a.mp3", "6. b.mid",
                                     "7. c.mp3", "8. 一.wav"}) + kFooter);
    EXPECT_EQ(menu().number_mul->text(), "播放");
    EXPECT_EQ(menu().number_key[0]->text(), "離開");

    menu().Timer2->setInterval(20);
    type("*");
    EXPECT_EQ(menuState(), "8_1_2");
    EXPECT_EQ(playing(), "B.mp3");
    EXPECT_EQ(echo(), "播放\n1/5");
    EXPECT_EQ(menu().Label3->text(), "檔名:\nB");
    EXPECT_EQ(screen(), QStringList({"*:播放", "/:暫停", "-:上一首 -> 無上一首", "+:下一首 -> a.mp3", "4:小聲", "5:大聲",
                                     "0:離開", "目前播放 : ", "B.mp3"}));
    const int plays = wmpMain().requests.count("play");
    type("-");
    EXPECT_EQ(wmpMain().requests.count("play"), plays) << "- on the first file leaves it playing";
    EXPECT_EQ(echo(), "播放\n1/5");

    for (const char *next : {"a.mp3", "b.mid", "c.mp3", "一.wav", "B.mp3"}) {
        advanceMusic();
        EXPECT_EQ(playing(), next);
    }
    EXPECT_EQ(screen().at(2), "-:上一首 -> 無上一首") << "after the last the first plays again";
    type("-+");
    EXPECT_EQ(playing(), "a.mp3");
    for (int i = 0; i < 3; ++i)
        type("+");
    EXPECT_EQ(playing(), "一.wav");
    const int before = wmpMain().requests.count("play");
    type("+");
    EXPECT_EQ(wmpMain().requests.count("play"), before) << "+ on the last file changes nothing";
    EXPECT_EQ(screen().at(3), "+:下一首 -> 無下一首");

    type("5");
    EXPECT_EQ(wmpMain().volume(), 60);
    type("4444444");
    EXPECT_EQ(wmpMain().volume(), 0);

    type("/");
    EXPECT_EQ(echo(), "停止");
    QTest::qWait(100);
    EXPECT_EQ(wmpMain().playState(), PlayState::Undefined) << "stopped for good";
    type("5");
    EXPECT_EQ(wmpMain().volume(), 0) << "volume keys act only while playing";
    type("*");
    EXPECT_EQ(wmpMain().playState(), PlayState::Playing);

    type("0");
    EXPECT_EQ(menuState(), "8_1");
    EXPECT_NE(wmpMain().playState(), PlayState::Playing);
    EXPECT_EQ(listed().first(), "1. 光碟機");
    type("0\r");
    EXPECT_EQ(menuState(), "8");
    type("9");
    EXPECT_EQ(menuState(), "0");
    EXPECT_EQ(menu().number_mul->text(), "*");

    type("81*");
    ASSERT_EQ(wmpMain().playState(), PlayState::Playing);
    bool managerOpened = false;
    menu().openManager = [&] { managerOpened = true; };
    emit menu().manager->pressed();
    EXPECT_TRUE(managerOpened);
    EXPECT_NE(wmpMain().playState(), PlayState::Playing) << "the music does not go on under another window";
    EXPECT_EQ(menuState(), "0");
}

TEST_F(MediaBrowserTest, FoldersCdRomAndWayBack)
{
    makeFile("Music/sub/deep/x.mp3");
    makeFile("cdrom/disc.mp3");
    makeFile("cdrom/album/track.mp3");
    type("81");
    type("2\r");
    EXPECT_EQ(listed(), QStringList({"1. 光碟機", "2. 上一層目錄", "3. deep<目錄>"}) + kFooter);
    type("*");
    EXPECT_EQ(echo(), "無檔可播!");
    EXPECT_EQ(menuState(), "8_1");
    type("3\r");
    EXPECT_EQ(listed(), QStringList({"1. 光碟機", "2. 上一層目錄", "3. x.mp3"}) + kFooter);
    type("2\r2\r");
    EXPECT_EQ(listed().first(), "1. 光碟機");
    EXPECT_EQ(listed().at(1), "2. sub<目錄>") << "two levels up is the root, without 上一層目錄";

    type("1\r");
    EXPECT_EQ(listed(), QStringList({"1. 上一層目錄", "2. album<目錄>", "3. disc.mp3"}) + kFooter)
        << "on the disc there is no 光碟機 row";
    type("2\r");
    EXPECT_EQ(listed(), QStringList({"1. 上一層目錄", "2. track.mp3"}) + kFooter);
    type("1\r1\r");
    EXPECT_EQ(listed().at(1), "2. sub<目錄>") << "上一層目錄 at the disc leads back to the root";

    QDir(home.file("cdrom")).removeRecursively();
    type("1\r");
    EXPECT_EQ(echo(), "光碟機內沒有光碟");
    EXPECT_EQ(listed(), QStringList({"1. 上一層目錄"}) + kFooter);
    type("1\r");
    EXPECT_EQ(listed().first(), "1. 光碟機");

    type("0\r2");
    EXPECT_EQ(echo(), "找不到這個目錄") << "no picture folder yet";
    type("*");
    EXPECT_EQ(echo(), "無檔可播!");
    type("+-+");
    EXPECT_EQ(state.PageNo, 2);
    type("1\r");
    EXPECT_EQ(menuState(), "8_2");
}

TEST_F(MediaBrowserTest, PicturesAreFittedAndMoviesPlayAmongThem)
{
    makePicture("Photo/landscape.bmp", QSize(800, 450));
    makePicture("Photo/portrait.jpg", QSize(300, 600));
    makeFile("Photo/broken.jpg");
    makeFile("Photo/clip.avi");
    makeFile("Photo/song.mp3");
    type("82");
    EXPECT_EQ(listed(), QStringList({"1. 光碟機", "2. broken.jpg", "3. clip.avi", "4. landscape.bmp", "5. portrait.jpg"})
                            + kFooter);
    type("*");
    EXPECT_EQ(menuState(), "8_2_2");
    EXPECT_EQ(screen().first(), "無法顯示這張圖片:") << "a picture that cannot be decoded";
    EXPECT_EQ(echo(), "播放\n1/4");

    type("+");
    QWidget *video = wmpMain().videoWidget();
    EXPECT_TRUE(video->isVisibleTo(&menu()));
    EXPECT_EQ(playing(), "clip.avi");
    EXPECT_EQ(menu().Label3->text(), "檔名:\nclip");

    const QSizeF area = menu().Picture1->size();
    const struct { const char *name; QSizeF drawn; } pictures[] = {
        {"landscape", QSizeF(area.width(), qRound(450 * area.width() / 800))},
        {"portrait", QSizeF(qRound(300 * area.height() / 600), area.height())},
    };
    for (const auto &p : pictures) {
        type("+");
        EXPECT_FALSE(video->isVisibleTo(&menu())) << p.name;
        EXPECT_NE(wmpMain().playState(), PlayState::Playing) << "the movie stops";
        ASSERT_EQ(menu().Picture1->pictures().size(), 1u) << p.name;
        EXPECT_EQ(menu().Picture1->pictures().front().rect, QRectF(QPointF(0, 0), p.drawn)) << p.name;
        EXPECT_EQ(menu().Label3->text(), QString("檔名:\n") + p.name);
    }
    type("+");
    EXPECT_EQ(echo(), "播放\n4/4");
    type("--");
    EXPECT_EQ(playing(), "clip.avi");
    wmpMain().fail("no decoder");
    EXPECT_EQ(echo(), "無法播放:\nclip.avi");
    type("0");
    EXPECT_EQ(menuState(), "8_2");
    EXPECT_FALSE(video->isVisibleTo(&menu()));
    EXPECT_TRUE(menu().Picture1->pictures().empty());
}

} // namespace
