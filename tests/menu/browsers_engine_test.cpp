// The recordings and multimedia browsers on the real media engine, with generated clips:
// a recording plays to its end and can be deleted while it plays; a music folder goes on
// from file to file and starts again at the first.
#include "menu/main_menu.h"
#include "platform/gst/gst_media_player_factory.h"
#include "platform/media_player.h"
#include "support/jukebox_fixture.h"
#include "support/cdg_writer.h"
#include "support/test_media.h"
#include "support/zip_writer.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class BrowsersEngineTest : public JukeboxFixture
{
protected:
    void SetUp() override
    {
        JukeboxFixture::SetUp();
        menu = std::make_unique<MainMenu>(state, services, QSize(1280, 720));
        menu->Form_Activate();
        QObject::connect(menu->wmpMain.get(), &MediaPlayer::playStateChanged, menu.get(), [this](PlayState s) {
            if (s == PlayState::Playing)
                played.append(menu->wmpMain->url().section('/', -1));
        });
    }
    void copy(const char *clip, const QString &to)
    {
        QDir().mkpath(QFileInfo(home.file(to)).path());
        ASSERT_TRUE(QFile::copy(testMedia(clip), home.file(to)));
    }
    void type(const QString &keys) { sendKeys(keys, [this](int &code) { menu->Picture1_KeyPress(code); }); }
    PlayState playState() const { return menu->wmpMain->playState(); }

    GstMediaPlayerFactory engine{{QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink sync=true")}};
    Services services{fakes.fileSystem, fakes.clock,    fakes.messageBoxes, fakes.fileDialogs,  fakes.mousePointer,
                      fakes.shutdown,   engine,         fakes.mci,          fakes.printer,      fakes.spreadsheets};
    std::unique_ptr<MainMenu> menu;
    QStringList played;
};

TEST_F(BrowsersEngineTest, ARecordingPlaysToItsEndAndIsDeletedWhilePlaying)
{
    copy("tone.wav", "Record/20261205 213000 月亮代表.wav");
    type("7");
    type("1\r1\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return playState() == PlayState::Playing; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->Label2->text().startsWith("00:0"); }, 2000))
        << "the position shows while it plays";
    EXPECT_TRUE(QTest::qWaitFor([&] { return playState() != PlayState::Playing; }, 10000)) << "it plays to its end";
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->Label2->text().isEmpty(); }, 2000));
    EXPECT_EQ(played, QStringList({"20261205 213000 月亮代表.wav"}));

    type("1\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return playState() == PlayState::Playing; }, 10000)) << "and plays again";
    type("3\r");
    EXPECT_EQ(playState(), PlayState::Undefined);
    EXPECT_TRUE(QDir(home.file("Record")).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(menu->menu().MenuState, "7");
}

TEST_F(BrowsersEngineTest, AMusicFolderPlaysFileAfterFileInALoop)
{
    copy("tone.mp3", "Music/1.mp3");
    copy("tone.wav", "Music/2.wav");
    menu->Timer2->setInterval(50);
    type("81*");
    EXPECT_TRUE(QTest::qWaitFor([&] { return played.size() >= 3; }, 20000)) << played.join(' ').toStdString();
    EXPECT_EQ(played.mid(0, 3), QStringList({"1.mp3", "2.wav", "1.mp3"}));
    type("/");
    const qsizetype plays = played.size();
    QTest::qWait(300);
    EXPECT_EQ(played.size(), plays) << "stopped for good";
    EXPECT_NE(playState(), PlayState::Playing);
}

// A zipped MP3+G song is a music file like any other once the owner adds its extension to
// ExtMusic, and then plays with its pictures; without it, it is not shown.
TEST_F(BrowsersEngineTest, AZippedKaraokeSongIsMusicOnlyWhenItsExtensionIsListed)
{
    copy("tone.mp3", "Music/1.mp3");
    CdgWriter pictures;
    pictures.memoryPreset(1);
    pictures.moveTo(300);
    ASSERT_TRUE(writeZip(home.file("Music/2.zip"), {{"song.cdg", pictures.bytes()}, {"song.mp3", fileBytes(testMedia("tone.mp3"))}}));
    menu->Timer2->setInterval(50);
    for (const char *extensions : {"mp3,wav,mid,cda", "mp3,wav,mid,cda,ZIP"}) {
        SCOPED_TRACE(extensions);
        state.settings.ExtMusic = QString::fromLatin1(extensions);
        played.clear();
        type("81*");
        EXPECT_TRUE(QTest::qWaitFor([&] { return played.size() >= 3; }, 20000)) << played.join(' ').toStdString();
        type("/");
        const bool listed = QByteArray(extensions).contains("ZIP");
        EXPECT_EQ(played.mid(0, 3), listed ? QStringList({"1.mp3", "2.zip", "1.mp3"}) : QStringList({"1.mp3", "1.mp3", "1.mp3"}));
        type("0\r0\r");
    }
}

} // namespace
