// The playback session on the real media engine and the real recording device, with
// generated clips and a generated capture source: songs follow one another on their own,
// what cannot play is passed over, a paused take leaves nothing behind, and the guest's
// channel is heard as chosen, every measured song as loud as the last.
#include "catalogue/loudness_survey.h"
#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_loudness_meter.h"
#include "platform/gst/gst_media_player.h"
#include "platform/media_player.h"
#include "playback/playback_session.h"
#include "playback/wav_file_open.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"
#include "support/qt_printers.h"
#include "support/tone_analysis.h"
#include "support/temp_home.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QString media(const char *name)
{
    return qEnvironmentVariable("KARAOKE_TEST_MEDIA") + QLatin1Char('/') + QLatin1String(name);
}

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
    void listenInto(const QString &wavPath)
    {
        audioSink = QStringLiteral("audioconvert ! audio/x-raw,format=S16LE ! identity sync=true ! wavenc"
                                   " ! filesink async=false location=\"%1\"").arg(wavPath);
    }
    MediaPlayer *last = nullptr;
    QString audioSink = QStringLiteral("fakesink sync=true");
};

// A program folder with a catalogue of one singer; the test adds songs. Takes are recorded
// from a generated tone.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
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

    TempHome home;
    FakeServices fakes;
    SharedState state;
    GstMciDevice mci{QStringLiteral("audiotestsrc is-live=true wave=sine"), QStringLiteral("fakesink sync=true")};
    WavFileOpen recorder{mci};
    CatalogueBuilder catalogue{home.file("karaoke.mdb")};
    qint64 singer = 0;
    EngineFactory engine;
    Services services{fakes.fileSystem, fakes.clock, fakes.messageBoxes, fakes.fileDialogs,
                      fakes.mousePointer, fakes.shutdown, engine, mci, fakes.printer, fakes.spreadsheets};
    QStringList played;

    // Plays one song to its end with a channel hot key pressed as it starts; what was heard.
    Wav heardWithChannelKey(const char *file, int hotKey)
    {
        const QString heard = listening.filePath("heard.wav");
        engine.listenInto(heard);
        addSong("101001", media(file));
        session();
        EXPECT_TRUE(reaches(PlayState::Playing)) << session().message().toStdString();
        session().HandleHotKey(hotKey);
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 10000));
        return readWav(heard);
    }
    QTemporaryDir listening;

    // Measures every song of the catalogue as the jukebox does between songs.
    void measureCatalogue()
    {
        GstLoudnessMeter meter;
        LoudnessSurvey survey(state.db(), state.AppPath, meter);
        const std::atomic<bool> stop{false};
        while (survey.measureNext(stop)) {
        }
    }
    // Plays the song alone in a session of its own, pressing the hot key (if any) after
    // pressAfter seconds; what the sink heard.
    Wav heardAlone(const QString &number, int hotKey = 0, int pressAfterMs = 0)
    {
        const QString heard = listening.filePath(number + ".wav");
        engine.listenInto(heard);
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
    addSong("101001", media("mpeg1.mpg"));
    addSong("101002", media("broken.mpg"));
    addSong("101003", home.file("沒有這首.mpg"));
    addSong("101004", media("tone.wav"));
    session();
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 30000));
    EXPECT_EQ(played, QStringList({"mpeg1.mpg", "tone.wav"}));
    EXPECT_EQ(player().playState(), PlayState::Undefined) << "the last song ending closes the media";
    EXPECT_TRUE(session().backgroundShown());
}

TEST_F(EngineTest, ASongStoredUnderARelativeBackslashPathPlaysFromTheProgramFolder)
{
    ASSERT_TRUE(QDir(home.path()).mkpath("歌曲/國語"));
    ASSERT_TRUE(QFile::copy(media("tone.wav"), home.file("歌曲/國語/月亮 代表.wav")));
    addSong("101001", QStringLiteral("歌曲\\國語\\月亮 代表.wav"));
    session();
    ASSERT_TRUE(reaches(PlayState::Playing)) << session().message().toStdString();
    EXPECT_EQ(played, QStringList({"月亮 代表.wav"}));
}

TEST_F(EngineTest, PausingDuringATakeLeavesNoFileBehind)
{
    addSong("101001", media("mpeg1.mpg"));
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

TEST_F(EngineTest, TheRightChannelOfAStereoSongPlaysItsRightSideOnBothSpeakers)
{
    const Wav wav = heardWithChannelKey("stereo-440-880.wav", 'E');
    ASSERT_EQ(wav.channels, 2);
    for (int speaker = 0; speaker < 2; ++speaker)
        EXPECT_GE(decibelsAbove(channel(wav, speaker, 0.3, 1.4), wav.rate, 880, 440), 30) << speaker;
}

TEST_F(EngineTest, TheRightChannelOfAThreeTrackSongIsItsThirdTrackPlayedAsItIs)
{
    const Wav wav = heardWithChannelKey("three-tracks.mkv", 'E');
    ASSERT_EQ(wav.channels, 2);
    for (int speaker = 0; speaker < 2; ++speaker)
        EXPECT_GE(decibelsAbove(channel(wav, speaker, 0.3, 1.4), wav.rate, 900, 300), 30) << speaker;
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

// Songs 20 dB apart play within a decibel of each other; a quiet song that peaks at full
// scale is raised without a clipped sample; a channel whose side is 10 dB down gets 10 dB more.
// With "EvenLoudness = 0" in Setting.ini the same songs play as their files are.
TEST_F(EngineTest, EverySongPlaysAsLoudAsTheLastUnlessTurnedOff)
{
    catalogue.addSong("101001", 1, "響", singer, media("level-loud.wav"));
    catalogue.addSong("101002", 1, "輕", singer, media("level-quiet.wav"));
    catalogue.addSong("101003", 1, "尖", singer, media("quiet-peaks.wav"));
    catalogue.addSong("101004", 1, "左右", singer, media("sides-10db.wav"));
    measureCatalogue();

    const Wav loud = heardAlone("101001");
    const Wav quiet = heardAlone("101002");
    EXPECT_NEAR(levelDb(loud, 440), levelDb(quiet, 440), 1);
    const Wav peaks = heardAlone("101003");
    EXPECT_LT(loudestSample(peaks), 32767 * 0.9) << "held below the ceiling";
    // The left side (440 Hz) plays first, then the guest picks the right side (880 Hz, 10 dB down).
    const Wav sides = heardAlone("101004", 'E', 700);
    EXPECT_NEAR(levelDb(sides, 440, 0.2, 0.6), levelDb(sides, 880, 1.1, 1.5), 1.5);

    QFile ini(home.file("Setting.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("EvenLoudness = 0\r\n");
    ini.close();
    ASSERT_TRUE(InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok);
    EXPECT_NEAR(levelDb(heardAlone("101001"), 440) - levelDb(heardAlone("101002"), 440), 20, 0.5);
    const Wav peaksAsTheyAre = heardAlone("101003");
    EXPECT_EQ(loudestSample(peaksAsTheyAre), 32767);
    EXPECT_GT(levelDb(peaks, 440) - levelDb(peaksAsTheyAre, 440), 4) << "the quiet song was raised";
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
