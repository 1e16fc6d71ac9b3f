// The player window on the real media engine: songs follow one another on their own, and a
// song that cannot play is passed over, whatever order the engine reports things in.
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/init_system.h"
#include "platform/media_player.h"
#include "playback/player.h"
#include "support/qt_printers.h"
#include "core/screen_fonts.h"
#include "core/shared_state.h"
#include "support/temp_home.h"
#include "playback/wav_file_open.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString media(const char *name)
{
    return qEnvironmentVariable("KARAOKE_TEST_MEDIA") + QLatin1Char('/') + QLatin1String(name);
}

TEST(PlayerOnTheRealEngine, PlaysTheQueueToItsEndPassingOverWhatCannotPlay)
{
    TempHome home;
    FakeServices fakes;
    SharedState state;
    ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
    WavFileOpen recorder(fakes.mci);
    state.Recorder = &recorder;
    CatalogueBuilder catalogue(state.DbPath);
    const qint64 singer = catalogue.addSinger("測試", 2);
    catalogue.addSong("101001", 1, "一", singer, media("mpeg1.mpg"));
    catalogue.addSong("101002", 1, "二", singer, media("broken.mpg"));
    catalogue.addSong("101003", 1, "三", singer, home.file("沒有這首.mpg"));
    catalogue.addSong("101004", 1, "四", singer, media("tone.wav"));
    for (const char *n : {"101001", "101002", "101003", "101004"})
        state.OrderedSongs.append({n, n});

    GstMediaPlayerFactory engine({"fakesink sync=true", "fakesink sync=true"});
    Services services{fakes.fileSystem, fakes.clock, fakes.messageBoxes, fakes.fileDialogs,
                      fakes.mousePointer, fakes.shutdown, engine, fakes.mci, fakes.printer, fakes.spreadsheets};
    QTimer menuTimer;
    Player player(state, services, QSize(800, 600), &menuTimer);
    QStringList played;
    QObject::connect(&player.wmp1(), &MediaPlayer::playStateChanged, [&](int s) {
        if (s == PlayState::Playing)
            played.append(player.wmp1().url().section('/', -1));
    });
    player.show();

    QElapsedTimer clock;
    clock.start();
    while (!state.OrderedSongs.isEmpty() && clock.elapsed() < 30000)
        QTest::qWait(50);
    EXPECT_TRUE(state.OrderedSongs.isEmpty());
    EXPECT_EQ(played, QStringList({"mpeg1.mpg", "tone.wav"}));
    EXPECT_EQ(player.wmp1().playState(), PlayState::Undefined) << "the last song ending closes the media";
    EXPECT_TRUE(player.Image1->isVisible());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
