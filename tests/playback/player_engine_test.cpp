// The playback session on the real media engine and the real recording device, with
// generated clips and a generated capture source: songs follow one another on their own,
// what cannot play is passed over, a paused take leaves nothing behind, and the guest's
// channel is heard as chosen.
#include "platform/gst/gst_mci_device.h"
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

} // namespace
