// The playback session on the real media engine and the real recording device, with
// generated clips and a generated capture source: songs follow one another on their own,
// what cannot play is passed over, a paused take leaves nothing behind, and the guest's
// channel is heard as chosen, every measured song as loud as the last, a song whose file was
// replaced too once the jukebox measured it again.
#include "app/background_measuring.h"
#include "catalogue/loudness_survey.h"
#include "core/init_system.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_loudness_meter.h"
#include "platform/gst/gst_media_player.h"
#include "playback/playback_session.h"
#include "playback/wav_file_open.h"
#include "support/jukebox_fixture.h"
#include "support/test_media.h"
#include "support/tone_analysis.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Real players with silent sinks, or sound written to a WAV file for the test to listen to;
// the test keeps hold of the player the session makes.
class EngineFactory : public MediaPlayerFactory
{
public:
    std::unique_ptr<MediaPlayer> create() override
    {
        auto made = std::make_unique<GstMediaPlayer>(GstMediaPlayer::Options{QStringLiteral("fakesink sync=true"), audioSink});
        last = made.get();
        return made;
    }
    MediaPlayer *last = nullptr;
    QString audioSink = QStringLiteral("fakesink sync=true");
};

// A program folder with a catalogue of one singer; the test adds songs. Takes are recorded
// from a generated tone.
class EngineTest : public JukeboxFixture
{
protected:
    void SetUp() override
    {
        JukeboxFixture::SetUp();
        state.Recorder = &recorder;
        singer = catalogue.addSinger("測試", 2);
    }
    void addSong(const QString &number, const QString &location)
    {
        catalogue.addSong(number, 1, number, singer, location);
        state.OrderedSongs.append({number, number});
    }
    PlaybackSession &session()
    {
        if (!m_session) {
            m_session = std::make_unique<PlaybackSession>(state, services);
            QObject::connect(&player(), &MediaPlayer::playStateChanged, &player(), [this](PlayState s) {
                if (s == PlayState::Playing)
                    played.append(player().url().section('/', -1));
            });
            m_session->start();
        }
        return *m_session;
    }
    MediaPlayer &player() { return *engine.last; }
    bool reaches(PlayState s, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return player().playState() == s; }, ms);
    }

    // Plays one song to its end in a session of its own, with a channel hot key pressed as it
    // starts; what was heard.
    Wav heardWithChannelKey(const char *file, int hotKey)
    {
        m_session.reset();
        const QString heard = listening.filePath(QLatin1String(file) + ".wav");
        engine.audioSink = wavFileSink(heard);
        addSong(QLatin1String(file), testMedia(file));
        session();
        EXPECT_TRUE(reaches(PlayState::Playing)) << session().message().toStdString();
        session().HandleHotKey(hotKey);
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 10000));
        return readWav(heard);
    }

    GstMciDevice mci{QStringLiteral("audiotestsrc is-live=true wave=sine"), QStringLiteral("fakesink sync=true")};
    WavFileOpen recorder{mci};
    qint64 singer = 0;
    EngineFactory engine;
    Services services{fakes.fileSystem, fakes.clock, fakes.messageBoxes, fakes.fileDialogs,
                      fakes.mousePointer, fakes.shutdown, engine, mci, fakes.printer, fakes.spreadsheets};
    QStringList played;
    QTemporaryDir listening;

    // Measures every song of the catalogue as the jukebox does between songs.
    void measureCatalogue()
    {
        GstLoudnessMeter meter;
        LoudnessSurvey survey(state.db(), state.catalogue(), state.AppPath, meter);
        const std::atomic<bool> stop{false};
        while (survey.measureNext(stop)) {
        }
    }
    // Plays the song alone in a session of its own, pressing the hot key (if any) after
    // pressAfter seconds; what the sink heard.
    Wav heardAlone(const QString &number, int hotKey = 0, int pressAfterMs = 0)
    {
        const QString heard = listening.filePath(number + ".wav");
        engine.audioSink = wavFileSink(heard);
        state.OrderedSongs.append({number, number});
        PlaybackSession alone(state, services);
        alone.start();
        EXPECT_TRUE(reaches(PlayState::Playing)) << alone.message().toStdString();
        if (hotKey) {
            QTest::qWait(pressAfterMs);
            alone.HandleHotKey(hotKey);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 10000));
        return readWav(heard);
    }

private:
    std::unique_ptr<PlaybackSession> m_session;
};

TEST_F(EngineTest, PlaysTheQueueToItsEndPassingOverWhatCannotPlay)
{
    addSong("101001", testMedia("mpeg1.mpg"));
    addSong("101002", testMedia("broken.mpg"));
    addSong("101003", home.file("沒有這首.mpg"));
    addSong("101004", testMedia("tone.wav"));
    session();
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 30000));
    EXPECT_EQ(played, QStringList({"mpeg1.mpg", "tone.wav"}));
    EXPECT_EQ(player().playState(), PlayState::Undefined) << "the last song ending closes the media";
    EXPECT_TRUE(session().backgroundShown());
}

TEST_F(EngineTest, ASongStoredUnderARelativeBackslashPathPlaysFromTheProgramFolder)
{
    ASSERT_TRUE(QDir(home.path()).mkpath("歌曲/國語"));
    ASSERT_TRUE(QFile::copy(testMedia("tone.wav"), home.file("歌曲/國語/月亮 代表.wav")));
    addSong("101001", QStringLiteral("歌曲\\國語\\月亮 代表.wav"));
    session();
    ASSERT_TRUE(reaches(PlayState::Playing)) << session().message().toStdString();
    EXPECT_EQ(played, QStringList({"月亮 代表.wav"}));
}

TEST_F(EngineTest, PausingDuringATakeLeavesNoFileBehind)
{
    addSong("101001", testMedia("mpeg1.mpg"));
    session();
    ASSERT_TRUE(reaches(PlayState::Playing));
    session().record();
    ASSERT_TRUE(state.Recording) << session().message().toStdString();
    ASSERT_TRUE(reaches(PlayState::Playing));
    QTest::qWait(200); // the take has samples by now

    session().togglePause();
    ASSERT_TRUE(reaches(PlayState::Paused));
    QTest::qWait(200);
    session().togglePause();
    ASSERT_TRUE(reaches(PlayState::Playing));
    session().close();
    QTest::qWait(200);
    EXPECT_TRUE(QDir(state.settings.RecordPath).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(state.Recording);
}

// The right channel of a stereo song is its right side on both speakers; of a three-track
// song, its third track played as it is.
TEST_F(EngineTest, TheRightChannelIsHeardOnBothSpeakers)
{
    const struct { const char *file; double right, other; } songs[] = {
        {"stereo-440-880.wav", 880, 440}, {"three-tracks.mkv", 900, 300}};
    for (const auto &song : songs) {
        const Wav wav = heardWithChannelKey(song.file, 'E');
        ASSERT_EQ(wav.channels, 2) << song.file;
        for (int speaker = 0; speaker < 2; ++speaker)
            EXPECT_GE(decibelsAbove(channel(wav, speaker, 0.3, 1.4), wav.rate, song.right, song.other), 30) << song.file;
    }
    EXPECT_EQ(player().stereoSide(), StereoSide::Both);
}

// The level of a tone on the left speaker between two moments, in decibels.
double levelDb(const Wav &wav, double frequency, double from = 0.3, double to = 1.4)
{
    return 10 * std::log10(tonePower(channel(wav, 0, from, to), frequency, wav.rate) + 1);
}

qint16 loudestSample(const Wav &wav)
{
    int loudest = 0;
    for (qint16 sample : wav.samples)
        loudest = std::max(loudest, std::abs(int(sample)));
    return qint16(std::min(loudest, 32767));
}

// Songs 20 dB apart play within a decibel of each other, and a channel whose side is 10 dB down
// gets 10 dB more. Nothing is distorted on the way: a quiet song with peaks near full scale is
// raised no further than the ceiling and its sine comes out clean (no limiter bends it), and a
// loud song whose samples pass full scale is lowered before anything clips them. With
// "EvenLoudness = 0" in Setting.ini the same songs play as their files are.
TEST_F(EngineTest, EverySongPlaysAsLoudAsTheLastWithoutDistortionUnlessTurnedOff)
{
    catalogue.addSong("101001", 1, "響", singer, testMedia("level-loud.wav"));
    catalogue.addSong("101002", 1, "輕", singer, testMedia("level-quiet.wav"));
    catalogue.addSong("101003", 1, "尖", singer, testMedia("quiet-peaks.wav"));
    catalogue.addSong("101004", 1, "左右", singer, testMedia("sides-10db.wav"));
    catalogue.addSong("101005", 1, "低音", singer, testMedia("quiet-low-sine.wav"));
    catalogue.addSong("101006", 1, "過響", singer, testMedia("loud-float.wav"));
    measureCatalogue();

    const Wav loud = heardAlone("101001");
    const Wav quiet = heardAlone("101002");
    EXPECT_NEAR(levelDb(loud, 440), levelDb(quiet, 440), 1);
    // The left side (440 Hz) plays first, then the guest picks the right side (880 Hz, 10 dB down).
    const Wav sides = heardAlone("101004", 'E', 700);
    EXPECT_NEAR(levelDb(sides, 440, 0.2, 0.6), levelDb(sides, 880, 1.1, 1.5), 1.5);

    const double ceiling = 32767 * std::pow(10.0, (SongGain::kCeilingDb + 0.1) / 20);
    const Wav lowSine = heardAlone("101005");
    EXPECT_LT(loudestSample(lowSine), ceiling) << "raised no further than its true peak allows";
    EXPECT_GT(loudestSample(lowSine), 0.85 * 32767) << "not lowered either";
    EXPECT_LT(harmonicDistortionPercent(channel(lowSine, 0, 0.5, 2.5), 10, lowSine.rate), 0.1);
    // 440 Hz at 0.3 of full scale that swells to 1.5 for 5 ms every half second: the swell
    // still stands five times above the rest once the song is turned down.
    const Wav overs = heardAlone("101006");
    EXPECT_NEAR(20 * std::log10(double(peak(channel(overs, 0, 0.45, 0.6))) / peak(channel(overs, 0, 0.1, 0.45))),
                20 * std::log10(5.0), 0.5)
        << "the peaks past full scale were cut before the song was turned down";
    EXPECT_LT(loudestSample(overs), ceiling);

    QFile ini(home.file("Setting.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("EvenLoudness = 0\r\n");
    ini.close();
    ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
    EXPECT_NEAR(levelDb(heardAlone("101001"), 440) - levelDb(heardAlone("101002"), 440), 20, 0.5);
    EXPECT_EQ(loudestSample(heardAlone("101003")), 32767) << "full-scale clicks played as they are";
}

// The owner copies a louder file over a song's file while the jukebox runs (same length, same
// size): the next idle pass measures it again, and the song plays at the target level with no
// restart, not at the gain of the quiet file it replaced.
TEST_F(EngineTest, ASongWhoseFileWasReplacedPlaysAtTheTargetAfterTheNextIdlePass)
{
    const QString song = listening.filePath("song.wav");
    ASSERT_TRUE(QFile::copy(testMedia("level-quiet.wav"), song));
    catalogue.addSong("101001", 1, "參考", singer, testMedia("level-loud.wav"));
    catalogue.addSong("101002", 1, "換檔", singer, song);
    BackgroundMeasuring measuring(state.DbPath, state.AppPath,
                                  std::make_unique<GstLoudnessMeter>(GstLoudnessMeter::Priority::Background));
    measuring.resume(); // the jukebox sat idle
    ASSERT_TRUE(measuring.flush(60000));
    measuring.pause(); // a guest orders
    const double target = levelDb(heardAlone("101001"), 440);
    ASSERT_NEAR(levelDb(heardAlone("101002"), 440), target, 1) << "the quiet file, raised";

    // Written in place, as a copy over the file does: its size stays, its time moves on.
    QFile replaced(song);
    const QByteArray louder = [] {
        QFile file(testMedia("level-middle.wav"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_EQ(louder.size(), replaced.size());
    QTest::qWait(20);
    ASSERT_TRUE(replaced.open(QIODevice::ReadWrite));
    ASSERT_EQ(replaced.write(louder), louder.size());
    replaced.close();
    EXPECT_GT(levelDb(heardAlone("101002"), 440), target + 8) << "before measuring again: the old file's gain";

    measuring.resume();
    ASSERT_TRUE(measuring.flush(60000));
    measuring.pause();
    EXPECT_NEAR(levelDb(heardAlone("101002"), 440), target, 1) << "the louder file, at the target";
}

} // namespace
