// Scoring on the real pipeline: a generated KTV song played by the real media engine, its guide
// vocal read by the real reader, and the guest's take fed through the capture interface from a
// file played in real time. The score shown after the song is the one the scorer gives on the
// same files as a library.
#include "platform/gst/gst_media_player.h"
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "playback/playback_session.h"
#include "playback/song_scoring.h"
#include "scoring/wav_scoring.h"
#include "support/jukebox_fixture.h"
#include "support/silent_engine.h"
#include "support/singing_media.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace {

using namespace singing_media;

constexpr double kSeconds = 30;

// Media written once for all the cases.
struct Media
{
    QTemporaryDir dir;
    QString song = dir.filePath(QStringLiteral("ktv.wav"));
    QString sameSides = dir.filePath(QStringLiteral("same-sides.wav"));
    QString take(const char *name) const { return dir.filePath(QString::fromUtf8(name) + QStringLiteral(".wav")); }

    Media()
    {
        writeKtvSong(song, kSeconds);
        writeKtvSong(sameSides, kSeconds, false);
        const std::vector<float> silence(size_t(kSeconds * kRate));
        writeWav(take("melody"), sungMelody(kSeconds, 0));
        writeWav(take("octave-down"), sungMelody(kSeconds, -12));
        writeWav(take("semitone-off"), sungMelody(kSeconds, 1));
        writeWav(take("silence"), silence);
        writeWav(take("talking"), talking(kSeconds));
        writeWav(take("two-up"), sungMelody(kSeconds, 2));
    }
};

Media &media()
{
    static Media made;
    return made;
}

struct Case
{
    const char *take;
    int keySteps; // the guest raises the key this many semitones as the song starts
    int atLeast;
    int atMost;
};

class ScoringEngineTest : public JukeboxFixture, public ::testing::WithParamInterface<Case>
{
protected:
    struct Outcome
    {
        std::optional<int> shown;
        qint64 cardAfterEndMs = -1;
        bool nextUpAfterCard = false;
    };

    // Plays the song to its end with the take as the guest's voice; what the player showed.
    Outcome sing(const QString &song, const QString &take, int keySteps)
    {
        catalogue.addSong(QStringLiteral("101001"), 1, QStringLiteral("月亮"), singer, song);
        state.OrderedSongs.append({QStringLiteral("101001"), QStringLiteral("月亮")});
        state.OrderedSongs.append({QStringLiteral("101001"), QStringLiteral("月亮")}); // so a next-up card follows
        GstVoiceCapture capture(QStringLiteral("filesrc location=\"%1\" ! wavparse ! identity sync=true").arg(take));
        GstSongSoundReader reader;
        SongScoring scoring(capture, reader);
        PlaybackSession session(state, services);
        session.attachScoring(&scoring);
        Outcome outcome;
        QElapsedTimer sinceEnd;
        // The end is reported as a play state first, then as the end of stream the session acts on.
        QObject::connect(engine.last, &MediaPlayer::playStateChanged, [&](PlayState s) {
            if (s == PlayState::MediaEnded)
                sinceEnd.start();
        });
        QObject::connect(&session, &PlaybackSession::scoreShown, [&](int score) {
            outcome.shown = score;
            outcome.cardAfterEndMs = sinceEnd.isValid() ? sinceEnd.elapsed() : -1;
        });
        QObject::connect(&session, &PlaybackSession::nextUp, [&] { outcome.nextUpAfterCard = outcome.shown.has_value(); });
        session.start();
        const bool playing = QTest::qWaitFor([&] { return engine.last->playState() == PlayState::Playing; }, 10000);
        EXPECT_TRUE(playing) << session.message().toStdString();
        for (int i = 0; i < keySteps; ++i)
            session.stepKey(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.length() == 1; }, int(kSeconds * 1000) + 20000));
        // A song without a score has no card for the next-up card to follow: that wait runs out.
        (void)QTest::qWaitFor([&] { return outcome.nextUpAfterCard; }, 2000);
        session.close();
        return outcome;
    }

    void SetUp() override
    {
        JukeboxFixture::SetUp();
        singer = catalogue.addSinger("測試", 2);
    }

    qint64 singer = 0;
    SilentEngine engine;
    Services services{fakes.fileSystem, fakes.clock, fakes.messageBoxes, fakes.fileDialogs,
                      fakes.mousePointer, fakes.shutdown, engine, fakes.mci, fakes.printer, fakes.spreadsheets};
};

TEST_P(ScoringEngineTest, TheScoreShownAfterTheSongIsTheLibrarysOnTheSameFiles)
{
    const Case &c = GetParam();
    const Outcome live = sing(media().song, media().take(c.take), c.keySteps);
    ASSERT_TRUE(live.shown) << "no score card";
    EXPECT_GE(*live.shown, c.atLeast);
    EXPECT_LE(*live.shown, c.atMost);
    EXPECT_TRUE(live.nextUpAfterCard) << "the next-up card follows the score";
    // The card's own figure is the benchmark's; here only that it comes with the song's end.
    EXPECT_GE(live.cardAfterEndMs, 0);
    EXPECT_LT(live.cardAfterEndMs, 1000);

    const std::vector<KeyChange> keys{{0, c.keySteps}};
    const WavScore library = scoreWavFiles(media().song.toStdString(), media().take(c.take).toStdString(), keys);
    ASSERT_TRUE(library.score) << library.problem;
    EXPECT_NEAR(*live.shown, library.score->score, 2) << "live and library on " << c.take;
}

INSTANTIATE_TEST_SUITE_P(Takes, ScoringEngineTest,
                         ::testing::Values(Case{"melody", 0, 90, 100}, Case{"octave-down", 0, 85, 100},
                                           Case{"semitone-off", 0, 0, 20}, Case{"silence", 0, 0, 0},
                                           Case{"talking", 0, 0, 15}, Case{"two-up", 2, 90, 100}),
                         [](const auto &info) {
                             QString name = QString::fromUtf8(info.param.take);
                             return name.remove(QLatin1Char('-')).toStdString();
                         });

using ScoringEngineWithoutGuide = ScoringEngineTest;

TEST_F(ScoringEngineWithoutGuide, TheSameMusicOnBothSidesShowsNoScoreAndTheLogSaysWhy)
{
    QStringList log;
    static QStringList *captured = nullptr;
    captured = &log;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        captured->append(text);
    });
    const Outcome live = sing(media().sameSides, media().take("melody"), 0);
    qInstallMessageHandler(previous);
    EXPECT_FALSE(live.shown);
    EXPECT_EQ(log.filter(QStringLiteral("has no score: both sides carry the same sound")).size(), 1) << log.join('\n').toStdString();
}

} // namespace
