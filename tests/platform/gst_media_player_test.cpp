// The media player on real GStreamer pipelines, playing the clips of make-test-media.sh with
// fake or file sinks, so time passes as in a real song but nothing needs a screen or speakers.
#include "platform/gst/gst_media_player.h"
#include "support/test_media.h"
#include "support/tone_analysis.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

QString fileUrl(const QString &path)
{
    return QStringLiteral("file://") + path;
}

GstMediaPlayer::Options fakeSinks()
{
    return {QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink sync=true")};
}

bool waitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, 15000);
}

// Everything the player reports, in order.
struct Recorder {
    QObject context; // the connections end with the recorder
    QList<PlayState> states;
    QStringList errors;
    QList<PlayState> statesAtEnd; // the play state seen by each endOfStream handler
    int tracksWhenPlaying = -1;

    explicit Recorder(MediaPlayer &player)
    {
        QObject::connect(&player, &MediaPlayer::playStateChanged, &context, [this, &player](PlayState state) {
            states.append(state);
            if (state == PlayState::Playing && tracksWhenPlaying < 0)
                tracksWhenPlaying = player.audioTrackCount();
        });
        QObject::connect(&player, &MediaPlayer::error, &context,
                         [this](const QString &text) { errors.append(text); });
        QObject::connect(&player, &MediaPlayer::endOfStream, &context,
                         [this, &player] { statesAtEnd.append(player.playState()); });
    }
};

bool playToState(GstMediaPlayer &player, const QString &path, PlayState state)
{
    player.setUrl(fileUrl(path));
    player.play();
    return waitFor([&] { return player.playState() == state; });
}

using PlayerHook = std::function<void(GstMediaPlayer &)>;

// Plays the media to its end into a WAV file (synced to the clock when asked); beforePlay sets
// the player up, whenPlaying acts once the song plays.
Wav playIntoWav(const QString &media, const QString &wavPath, bool synced, const PlayerHook &beforePlay = {},
                const PlayerHook &whenPlaying = {})
{
    GstMediaPlayer player({QStringLiteral("fakesink sync=%1").arg(synced ? "true" : "false"), wavFileSink(wavPath, synced)});
    if (beforePlay)
        beforePlay(player);
    Recorder recorder(player);
    if (whenPlaying) {
        QObject::connect(&player, &MediaPlayer::playStateChanged, [&](PlayState state) {
            if (state == PlayState::Playing)
                whenPlaying(player);
        });
    }
    EXPECT_TRUE(playToState(player, media, PlayState::Stopped)) << qPrintable(media);
    EXPECT_EQ(recorder.statesAtEnd, QList<PlayState>{PlayState::MediaEnded});
    return readWav(wavPath);
}

bool hasPicture(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8) {
            if (qGray(image.pixel(x, y)) > 40)
                return true;
        }
    }
    return false;
}

} // namespace

TEST(GstMediaPlayerTest, AHandlerThatStartsTheNextSongIsNotOverruledByStopped)
{
    GstMediaPlayer player(fakeSinks());
    Recorder recorder(player);
    QObject::connect(&player, &MediaPlayer::endOfStream, [&] {
        player.setUrl(fileUrl(testMedia("tone.mp3")));
        player.play();
    });
    player.setUrl(fileUrl(testMedia("tone.wav")));
    player.play();
    ASSERT_TRUE(waitFor([&] { return recorder.states.count(PlayState::Playing) == 2; }));
    EXPECT_EQ(recorder.states.mid(3), (QList<PlayState>{PlayState::MediaEnded, PlayState::Ready,
                                                  PlayState::Transitioning, PlayState::Playing}));
    EXPECT_TRUE(player.url().endsWith("tone.mp3"));
}

TEST(GstMediaPlayerTest, SongsThatCannotPlayReportAnErrorAndLeaveThePlayerUsable)
{
    QTemporaryDir dir;
    const QString deleted = dir.filePath("deleted while playing.mpg");
    ASSERT_TRUE(QFile::copy(testMedia("mpeg1.mpg"), deleted));

    const struct { const char *what; QString path; bool deleteWhilePlaying; } cases[] = {
        {"missing file", dir.filePath("no such song.mpg"), false},
        {"garbage bytes", testMedia("broken.mpg"), false},
        {"file deleted while playing", deleted, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        GstMediaPlayer player(fakeSinks());
        Recorder recorder(player);
        player.setUrl(fileUrl(c.path));
        player.play();
        if (c.deleteWhilePlaying) {
            ASSERT_TRUE(waitFor([&] { return player.playState() == PlayState::Playing; }));
            ASSERT_TRUE(QFile::remove(c.path));
        }
        ASSERT_TRUE(waitFor([&] { return !recorder.errors.isEmpty(); }));
        EXPECT_EQ(recorder.errors.size(), 1) << qPrintable(recorder.errors.join('\n'));
        EXPECT_TRUE(recorder.errors.first().contains(c.path)) << qPrintable(recorder.errors.first());
        EXPECT_EQ(player.playState(), PlayState::Stopped);
        EXPECT_TRUE(recorder.statesAtEnd.isEmpty());

        EXPECT_TRUE(playToState(player, testMedia("tone.mp3"), PlayState::Playing));
    }
}

TEST(GstMediaPlayerTest, PauseHoldsThePositionAndPlayResumesWithoutReopening)
{
    GstMediaPlayer player(fakeSinks());
    Recorder recorder(player);
    ASSERT_TRUE(playToState(player, testMedia("mpeg2.mpg"), PlayState::Playing));
    EXPECT_EQ(player.positionText(), "00:00");
    QTest::qWait(300);

    player.pause();
    ASSERT_TRUE(waitFor([&] { return player.playState() == PlayState::Paused; }));
    const QString held = player.positionText();
    QTest::qWait(1000);
    EXPECT_EQ(player.positionText(), held);

    player.play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == PlayState::Playing; }));
    EXPECT_EQ(recorder.states.mid(2), (QList<PlayState>{PlayState::Playing, PlayState::Paused, PlayState::Playing}));
    EXPECT_TRUE(waitFor([&] { return player.positionText() == "00:01"; }));
}

// Each format opens through "ready" and "transitioning", ends as a song ends ("media ended",
// then "stopped"), and can be played again. Without a screen the player picks sinks that keep
// time and show nothing.
TEST(GstMediaPlayerTest, EveryFormatOfTheCataloguePlaysToItsEndAndAgain)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("it's #1 at 100% 歌曲");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString oddPath = folder + "/月亮 'live' #2 %41%20.mp3";
    ASSERT_TRUE(QFile::copy(testMedia("tone.mp3"), oddPath));
    QStringList paths = {oddPath};
    for (const char *file : {"mpeg1.mpg", "vcd-plain.dat", "vcd-cdxa.dat", "mpeg2.mpg", "clip.avi", "h264.mp4",
                             "song.mid", "tone.mp3", "tone.wav"})
        paths.append(testMedia(file));
    GstMediaPlayer player;
    EXPECT_EQ(player.playState(), PlayState::Undefined);
    EXPECT_EQ(player.positionText(), QString());
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        Recorder recorder(player);
        QString furthest;
        QTimer clock;
        QObject::connect(&clock, &QTimer::timeout, [&] { furthest = std::max(furthest, player.positionText()); });
        clock.start(50);

        player.setUrl(fileUrl(path));
        EXPECT_EQ(player.playState(), PlayState::Ready);
        player.play();
        EXPECT_EQ(player.playState(), PlayState::Transitioning);
        ASSERT_TRUE(waitFor([&] { return player.playState() == PlayState::Stopped; }));
        EXPECT_EQ(recorder.states, (QList<PlayState>{PlayState::Ready, PlayState::Transitioning, PlayState::Playing,
                                               PlayState::MediaEnded, PlayState::Stopped}));
        EXPECT_EQ(recorder.statesAtEnd, QList<PlayState>{PlayState::MediaEnded});
        EXPECT_EQ(recorder.tracksWhenPlaying, 1);
        EXPECT_EQ(player.url(), fileUrl(path));
        // Every clip lasts between one and two and a half seconds; a loaded machine may read the
        // position just past two.
        EXPECT_TRUE(furthest == "00:01" || furthest == "00:02") << qPrintable(furthest);
        EXPECT_TRUE(recorder.errors.isEmpty()) << qPrintable(recorder.errors.join('\n'));
    }
    Recorder again(player);
    player.play();
    ASSERT_TRUE(waitFor([&] { return player.playState() == PlayState::Playing; }));
    EXPECT_EQ(again.states, (QList<PlayState>{PlayState::Transitioning, PlayState::Playing}));
    player.stop();
    EXPECT_EQ(player.playState(), PlayState::Stopped);
    player.close();
    EXPECT_EQ(player.playState(), PlayState::Undefined);
    EXPECT_EQ(player.url(), QString());
}

TEST(GstMediaPlayerTest, ThreeSoundTracksAreCountedAndSwitched)
{
    QTemporaryDir dir;
    int countWhenPlaying = 0;
    int chosen = 0;
    const Wav wav = playIntoWav(testMedia("three-tracks.mkv"), dir.filePath("out.wav"), true, {},
                                [&](GstMediaPlayer &player) {
                                    countWhenPlaying = player.audioTrackCount();
                                    player.setCurrentAudioTrack(4); // no such track: ignored
                                    player.setCurrentAudioTrack(3);
                                    chosen = player.currentAudioTrack();
                                });
    EXPECT_EQ(countWhenPlaying, 3);
    EXPECT_EQ(chosen, 3);
    ASSERT_EQ(wav.channels, 2);
    // The tracks carry 300, 600 and 900 Hz; the third must be heard at once, not after the
    // sound already queued for the first has played out.
    for (double other : {300, 600})
        EXPECT_GE(decibelsAbove(channel(wav, 0, 0.3, 1.4), wav.rate, 900, other), 30) << other;
}

TEST(GstMediaPlayerTest, VolumeIsClampedAndScalesTheSoundLinearlyAndAKeyChangeMovesThePitchAndKeepsTheLength)
{
    GstMediaPlayer player(fakeSinks());
    EXPECT_EQ(player.volume(), 100);
    player.setVolume(150);
    EXPECT_EQ(player.volume(), 100);
    player.setVolume(-5);
    EXPECT_EQ(player.volume(), 0);

    QTemporaryDir dir;
    const Wav full = playIntoWav(testMedia("tone.wav"), dir.filePath("full.wav"), false);
    const Wav half = playIntoWav(testMedia("tone.wav"), dir.filePath("half.wav"), false,
                                 [](GstMediaPlayer &player) { player.setVolume(50); });
    const int fullPeak = peak(channel(full, 0, 0.2, 1.2));
    ASSERT_GT(fullPeak, 8000);
    EXPECT_NEAR(double(peak(channel(half, 0, 0.2, 1.2))) / fullPeak, 0.5, 0.03);

    const struct { int key; double frequency; } cases[] = {{2, 493.9}, {-6, 311.1}, {0, 440}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        const Wav wav = playIntoWav(testMedia("tone-1s.wav"), dir.filePath("out.wav"), false,
                                    [&](GstMediaPlayer &player) { player.setKey(c.key); });
        ASSERT_EQ(wav.channels, 2);
        const QList<qint16> samples = channel(wav, 0, 0.2, 0.8);
        EXPECT_NEAR(strongestFrequency(samples, wav.rate, c.frequency * 0.9, c.frequency * 1.1), c.frequency,
                    c.frequency * 0.01);
        EXPECT_NEAR(wav.seconds(), 1.0, 0.02);
    }
}

// The file has 440 Hz on the left and 880 Hz on the right: both sides as in the file, then
// either side alone on both speakers, set before playing and changed while playing.
TEST(GstMediaPlayerTest, BothSidesPlayAsInTheFileAndChangingSidesWhilePlayingNeitherStopsNorRepeatsTheSong)
{
    QTemporaryDir dir;
    const Wav both = playIntoWav(testMedia("stereo-440-880.wav"), dir.filePath("both.wav"), false);
    ASSERT_EQ(both.channels, 2);
    EXPECT_GE(decibelsAbove(channel(both, 0, 0.2, 1.4), both.rate, 440, 880), 30);
    EXPECT_GE(decibelsAbove(channel(both, 1, 0.2, 1.4), both.rate, 880, 440), 30);

    const Wav wav = playIntoWav(
        testMedia("stereo-440-880.wav"), dir.filePath("out.wav"), true,
        [](GstMediaPlayer &player) { player.setStereoSide(StereoSide::Left); },
        [](GstMediaPlayer &player) {
            QTimer::singleShot(600, &player, [&player] { player.setStereoSide(StereoSide::Right); });
        });
    ASSERT_EQ(wav.channels, 2);
    EXPECT_NEAR(wav.seconds(), 1.6, 0.03) << "no part of the song is lost or played twice";
    for (int speaker = 0; speaker < 2; ++speaker) {
        EXPECT_GE(decibelsAbove(channel(wav, speaker, 0.1, 0.4), wav.rate, 440, 880), 30);
        EXPECT_GE(decibelsAbove(channel(wav, speaker, 1.0, 1.5), wav.rate, 880, 440), 30);
    }
    for (double at = 0.02; at < 1.55; at += 0.01)
        ASSERT_GT(peak(channel(wav, 0, at, at + 0.01)), 8000) << "silence at " << at << " s";
}

// The window that holds the video reads its keys and clicks, as it reads every other key.
class VideoHolder : public QWidget
{
public:
    QStringList keys;
    int clicks = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->text()); }
    void mousePressEvent(QMouseEvent *) override { ++clicks; }
};

TEST(GstMediaPlayerTest, VideoWidgetIsBlackPassesClicksAndKeysToItsWindowAndDrawsFramesWithoutAnOverlaySink)
{
    GstMediaPlayer player(fakeSinks());
    QWidget *widget = player.videoWidget();
    ASSERT_NE(widget, nullptr);
    VideoHolder holder;
    holder.resize(160, 120);
    widget->setParent(&holder);
    widget->resize(160, 120);
    holder.show();
    EXPECT_FALSE(hasPicture(*widget));

    QTest::keyClick(widget, Qt::Key_5);
    QTest::keyClick(widget, Qt::Key_Asterisk, Qt::KeypadModifier);
    QTest::mouseClick(widget, Qt::LeftButton);

    EXPECT_EQ(holder.keys, (QStringList{"5", "*"}));
    EXPECT_EQ(holder.clicks, 1);
    widget->setParent(nullptr); // the player keeps its widget

    // Without an overlay sink the widget draws the frames itself.
    GstMediaPlayer drawing({QStringLiteral("widget"), QStringLiteral("fakesink sync=true")});
    QWidget *frames = drawing.videoWidget();
    frames->resize(352, 240);
    frames->show();
    ASSERT_TRUE(playToState(drawing, testMedia("vcd-cdxa.dat"), PlayState::Playing));
    EXPECT_TRUE(waitFor([&] { return hasPicture(*frames); }));
    drawing.stop();
    EXPECT_FALSE(hasPicture(*frames));
}
