#include "playback/player_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "core/database.h"

#include "playback/small_view.h"

namespace {

using PlayerTest = PlayerFixture;

TEST_F(PlayerTest, PlaysTheQueueSongAfterSongAndShowsTheBackgroundAtTheEnd)
{
    queueSongs(3);
    player();
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
    EXPECT_FALSE(player().Image1->isVisible());
    EXPECT_EQ(state.SoundChannel, 2);

    wmp().finishSong();
    EXPECT_EQ(queue(), QStringList({"102002", "102003"}));
    EXPECT_EQ(wmp().url(), "file:///songs/2.mpg");

    wmp().fail("cannot decode");
    EXPECT_EQ(queue(), QStringList({"102003"})) << "a song that cannot play moves on";
    EXPECT_EQ(wmp().url(), "file:///songs/3.mpg");

    wmp().finishSong();
    EXPECT_TRUE(queue().isEmpty());
    EXPECT_EQ(wmp().requests.last(), "close");
    EXPECT_EQ(wmp().playState(), PlayState::Undefined);
    EXPECT_TRUE(player().Image1->isVisible()) << "the background between songs";
}

TEST_F(PlayerTest, ACatalogueThatCannotBeReadFailsTheSongInsteadOfThePlayer)
{
    queueSongs(2);
    player();
    state.db().close();
    QFile::remove(state.DbPath);
    home.write("karaoke.mdb", QByteArray(2048, '\x5a'));
    wmp().finishSong();
    EXPECT_EQ(wmp().url(), "file://找不到102002") << "the song is tried, fails, and the queue moves on";
    EXPECT_EQ(queue(), QStringList({"102002"}));
}

TEST_F(PlayerTest, SongsOrderedWhileNothingPlaysStartWithinTheIdleCheck)
{
    player();
    EXPECT_TRUE(player().Image1->isVisible());
    EXPECT_TRUE(wmp().url().isEmpty());
    queueSongs(1);
    player().Timer1->setInterval(10);
    QTest::qWait(60);
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);
}

TEST_F(PlayerTest, HotKeysChangeChannelAndSkipWithoutOpeningTheBar)
{
    int bars = 0;
    onModal = [&](QDialog &) { ++bars; };
    player(); // nothing queued, nothing plays
    key('/');
    EXPECT_EQ(bars, 0) << "/ while nothing plays opens no bar";

    QList<int> channels;
    for (int i = 0; i < 3; ++i) {
        key('*');
        channels.append(state.SoundChannel);
    }
    EXPECT_EQ(channels, QList<int>({3, 1, 2}));

    queueSongs(2);
    player().Timer1->setInterval(10);
    QTest::qWait(40);
    wmp().setTrackCount(3);
    key('*');
    QTest::qWait(150);
    EXPECT_EQ(wmp().currentAudioTrack(), 3) << "the chosen channel is applied while a song plays";

    key('/');
    EXPECT_EQ(queue(), QStringList({"102002"}));
    EXPECT_EQ(bars, 0);
    key('q');
    EXPECT_EQ(state.SoundChannel, 2) << "Q picks the left channel, with or without Caps Lock";
    key('5');
    EXPECT_EQ(bars, 1) << "any other key opens the control bar";
}

TEST_F(PlayerTest, ControlBarSkipsPausesReplaysAndLeaves)
{
    queueSongs(3);
    player();
    SmallControlMain &bar = player().controlBar();
    auto press = [&](int code) { bar.key_press(code); };

    press('6');
    EXPECT_EQ(bar.key_pause->text(), "6播放");
    EXPECT_EQ(wmp().playState(), PlayState::Paused);
    press('6');
    EXPECT_EQ(bar.key_pause->text(), "6暫停");
    EXPECT_EQ(wmp().playState(), PlayState::Playing);

    wmp().requests.clear();
    press('7');
    EXPECT_EQ(queue(), QStringList({"102001", "102002", "102003"})) << "singing again keeps the queue";
    EXPECT_TRUE(wmp().requests.contains("close"));
    EXPECT_EQ(wmp().requests.last(), "play");
    EXPECT_EQ(wmp().url(), "file:///songs/1.mpg");

    press('5');
    EXPECT_EQ(queue(), QStringList({"102002", "102003"}));

    const int before = state.SoundChannel;
    press('Q');
    press('9');
    press(13);
    EXPECT_EQ(state.SoundChannel, before) << "letter hot keys do nothing inside the bar";
    EXPECT_EQ(queue().size(), 2);
    press('*');
    EXPECT_NE(state.SoundChannel, before) << "but * does";

    press('8');
    EXPECT_FALSE(player().isVisible());
    EXPECT_TRUE(menuTimer.isActive()) << "the menu takes over again";
    EXPECT_EQ(queue(), QStringList({"102002", "102003"})) << "the queue survives, the playing song included";
}

TEST_F(PlayerTest, MixerSetsChannelAndVolume)
{
    queueSongs(1);
    player();
    MixerMenu &mixer = player().mixer();
    auto press = [&](int code) { mixer.Form_KeyPress(code); };

    wmp().setVolume(5);
    press('4');
    EXPECT_EQ(wmp().volume(), 0);
    EXPECT_EQ(mixer.lb_vol_music->text(), "0");
    wmp().setVolume(95);
    press('5');
    EXPECT_EQ(wmp().volume(), 100);
    EXPECT_EQ(mixer.lb_vol_music->text(), "10");
    wmp().setVolume(40);
    press('5');
    EXPECT_EQ(mixer.lb_vol_music->text(), "5");

    press('1');
    EXPECT_EQ(state.SoundChannel, 2);
    emit mixer.vol_mic[2]->pressed();
    EXPECT_EQ(state.SoundChannel, 3);
    EXPECT_EQ(mixer.Label6->text(), "右");

    // Bar, "4" to the mixer, "0" back to the bar, "0" closes it.
    QStringList opened;
    onModal = [&](QDialog &d) {
        opened.append(d.objectName());
        int k = opened.size() == 1 ? '4' : '0';
        if (auto *bar = qobject_cast<SmallControlMain *>(&d))
            bar->key_press(k);
        else if (auto *panel = qobject_cast<MixerMenu *>(&d))
            panel->Form_KeyPress(k);
    };
    key('0');
    EXPECT_EQ(opened, QStringList({"small_control_main", "mixer_menu", "small_control_main"}))
        << "leaving the panel shows the bar again";
}

class RecordingTest : public PlayerFixture
{
protected:
    QStringList recordings() const
    {
        return QDir(state.settings.RecordPath).entryList(QDir::Files);
    }
};

TEST_F(RecordingTest, RecordingRestartsTheSongIntoANewTakeAndSavesWhenTheSongStops)
{
    queueSongs(2);
    player();
    MixerMenu &mixer = player().mixer();
    int none = '9';
    wmp().stop();
    mixer.Form_KeyPress(none);
    EXPECT_FALSE(state.Recording) << "nothing to record when nothing plays";
    wmp().play();

    fakes.mci.commands.clear();
    wmp().requests.clear();
    int nine = '9';
    mixer.Form_KeyPress(nine);
    ASSERT_TRUE(state.Recording);
    EXPECT_EQ(mixer.cmdRecord->text(), "錄音中");
    EXPECT_TRUE(state.RecordFileName.endsWith("202612052130歌1--林曉雯.wav")) << state.RecordFileName.toStdString();
    EXPECT_EQ(fakes.mci.commands, QStringList({"close po", "close po",
                                               "open \"" + state.RecordFileName + "\" alias po", "record po"}));
    EXPECT_EQ(QFileInfo(state.RecordFileName).size(), 44);
    EXPECT_EQ(wmp().requests.last(), "play") << "the song starts again with the take";

    nine = '9';
    mixer.Form_KeyPress(nine);
    EXPECT_TRUE(state.Recording);
    EXPECT_TRUE(fakes.mci.commands.contains("save po")) << "the first take was ended";
    EXPECT_EQ(recordings().size(), 1) << "record again replaces the take under the same name";

    wmp().finishSong();
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(fakes.mci.commands.last(), "close po");
    EXPECT_EQ(recordings().size(), 1) << "a take sung to the end is kept";
    EXPECT_EQ(mixer.cmdRecord->text(), "9錄音");
}

TEST_F(RecordingTest, SkippingPausingOrSingingAgainDiscardsTheTake)
{
    queueSongs(3);
    player();
    SmallControlMain &bar = player().controlBar();
    const std::function<void()> interruptions[] = {
        [&] { key('/'); },
        [&] {
            int six = '6';
            bar.key_press(six);
            six = '6';
            bar.key_press(six);
        },
        [&] {
            int seven = '7';
            bar.key_press(seven);
        },
    };
    for (const auto &interrupt : interruptions) {
        player().mixer().cmdRecord_Click();
        ASSERT_TRUE(state.Recording);
        ASSERT_EQ(recordings().size(), 1);
        interrupt();
        EXPECT_FALSE(state.Recording);
        EXPECT_TRUE(recordings().isEmpty());
    }
}

TEST_F(RecordingTest, NoCaptureDeviceIsToldAndLeavesNoFile)
{
    queueSongs(1);
    player();
    fakes.mci.reply = "找不到錄音裝置";
    player().mixer().cmdRecord_Click();
    EXPECT_FALSE(state.Recording);
    EXPECT_TRUE(recordings().isEmpty());
    EXPECT_EQ(player().playerMsg->text(), "找不到錄音裝置");
    EXPECT_EQ(wmp().playState(), PlayState::Playing) << "the song goes on";
}

TEST_F(RecordingTest, ATakeCutOffByACrashIsCorrectedWhenThePlayerOpens)
{
    const QString cut = state.settings.RecordPath + "/202612052130雨--黃志明.wav";
    recorder.sNew(cut, 44100, 16, 2);
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(4000, '\x11')); // samples written before the kill, sizes never fixed
    }
    const QString notAWave = state.settings.RecordPath + "/notes.wav";
    QFile junk(notAWave);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(100, 'x'));
    junk.close();

    player();
    recorder.sFile(cut);
    EXPECT_TRUE(recorder.CheckPCM()) << recorder.checkText().toStdString();
    EXPECT_EQ(recorder.sDataSize(), 4000u);
    EXPECT_EQ(QFileInfo(notAWave).size(), 100) << "a file that is no recording is left alone";
}

TEST_F(PlayerTest, PreviewWindowPlaysItsFileOnceWhenShown)
{
    SmallView view(fakes.mediaPlayers, QSize(1280, 720));
    EXPECT_EQ(view.size(), QSize(640, 360));
    view.setFilePath("/songs/3.mpg");
    view.show();
    FakeMediaPlayer &preview = *fakes.mediaPlayers.created.back();
    EXPECT_EQ(preview.url(), "file:///songs/3.mpg");
    EXPECT_EQ(preview.playState(), PlayState::Playing);
    EXPECT_EQ(preview.videoWidget()->geometry(), QRect(64, 0, 512, 288));
    view.hide();
    EXPECT_EQ(preview.playState(), PlayState::Undefined) << "closing the preview stops it";
}

} // namespace
