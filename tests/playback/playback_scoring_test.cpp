// The session with scoring: which songs are scored, the card in the pause after a song before
// the next-up card, a key taking it away, the key the guest chose, and a machine without a
// capture device. The media player and the devices are fakes; the scorer is the real one.
#include "core/history_writer.h"
#include "playback/play_recorder.h"
#include "playback/song_scoring.h"
#include "session_fixture.h"
#include "support/fake_scoring_devices.h"
#include "support/singing_media.h"

#include <QTest>

#include <functional>
#include <optional>

namespace {

using namespace singing_media;

constexpr double kSeconds = 10;

class ScoringSessionTest : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        static const std::vector<float> frames = ktvFrames(kSeconds);
        for (int i = 1; i <= 5; ++i)
            reader.songs.insert(QStringLiteral("/songs/%1.mpg").arg(i), {kRate, {frames}});
    }

    // The session made with scoring, its reports written down as they come.
    PlaybackSession &scoredSession(SongScoring *with = nullptr,
                                   const std::function<void(PlaybackSession &)> &beforeStart = {})
    {
        PlaybackSession &s = unstartedSession();
        if (beforeStart)
            beforeStart(s);
        s.attachScoring(with ? with : &scoring);
        QObject::connect(&s, &PlaybackSession::scoreShown, [this](int score) {
            events.append(QStringLiteral("score"));
            scores.append(score);
            shownAt = fakes.clock.secondsWaited;
            if (skipCard)
                session().skipScoreCard();
        });
        QObject::connect(&s, &PlaybackSession::scoreHidden, [this] {
            events.append(QStringLiteral("hidden"));
            cardSeconds = fakes.clock.secondsWaited - shownAt;
        });
        QObject::connect(&s, &PlaybackSession::nextUp, [this] { events.append(QStringLiteral("next up")); });
        QObject::connect(&s, &PlaybackSession::songScored, [this](const QString &song, int score) {
            scored.append(QStringLiteral("%1 %2").arg(song).arg(score));
        });
        s.start();
        return s;
    }

    // The player of the session made last.
    FakeMediaPlayer &player() { return *fakes.mediaPlayers.created.back(); }

    // The guest sings the melody moved by semitones while the head song plays, or keeps silent.
    void sing(std::optional<double> semitones)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return scoring.guideRead(); }, 10000));
        capture.sing(semitones ? sungMelody(kSeconds, *semitones) : std::vector<float>(size_t(kSeconds * kRate)), kRate);
    }

    void scoringWithoutDevice(SongScoring &fresh);

    FakeVoiceCapture capture;
    FakeSongSoundReader reader;
    SongScoring scoring{capture, reader};
    QStringList events;
    QList<int> scores;
    QStringList scored;
    double shownAt = 0;
    double cardSeconds = 0;
    bool skipCard = false;
};

TEST_F(ScoringSessionTest, ASongSungToItsEndShowsItsScoreForFourSecondsBeforeTheNextUpCard)
{
    queueSongs(2);
    scoredSession();
    ASSERT_EQ(player().playState(), PlayState::Playing);
    EXPECT_TRUE(capture.listening());
    events.clear();
    sing(0);
    player().finishSong();
    EXPECT_EQ(events, QStringList({"score", "hidden", "next up"}));
    ASSERT_EQ(scores.size(), 1);
    EXPECT_GE(scores[0], 90);
    EXPECT_EQ(scored, QStringList({QStringLiteral("102001 %1").arg(scores[0])}));
    EXPECT_NEAR(cardSeconds, 4, 0.15);
    EXPECT_EQ(capture.starts, 2) << "listening again as the next song plays";

    // The last song of the queue is scored too; silence scores nothing.
    ASSERT_EQ(player().playState(), PlayState::Playing);
    sing(std::nullopt);
    player().finishSong();
    EXPECT_EQ(scores, QList<int>({scores[0], 0}));
    EXPECT_TRUE(state.OrderedSongs.isEmpty());
}

TEST_F(ScoringSessionTest, TheHistoryKeepsTheScoreOfTheSongSungAndNoneForOneSkipped)
{
    HistoryWriter writer(state.DbPath, 365);
    queueSongs(3);
    std::unique_ptr<PlayRecorder> history;
    PlaybackSession &s = scoredSession(nullptr, [&](PlaybackSession &made) {
        history = std::make_unique<PlayRecorder>(made, state, writer, false, [] { return qint64(1796601600); });
    });
    sing(0);
    player().finishSong();
    ASSERT_EQ(scores.size(), 1);
    ASSERT_EQ(player().playState(), PlayState::Playing);
    sing(0);
    s.skip();
    s.close();
    ASSERT_TRUE(writer.flush(5000));
    EXPECT_EQ(rows(QStringLiteral("SELECT song_num, ended_how, score FROM play_history ORDER BY play_id")),
              (QStringList{QStringLiteral("102001|1|%1").arg(scores[0]), "102002|2|", "102003|3|"}))
        << "to the end with its score, skipped, the player closed";
}

TEST_F(ScoringSessionTest, AKeyTakesTheScoreAwayAtOnce)
{
    skipCard = true;
    queueSongs(2);
    scoredSession();
    sing(0);
    player().finishSong();
    EXPECT_EQ(events.mid(events.indexOf("score")), QStringList({"score", "hidden", "next up"}));
    EXPECT_LT(cardSeconds, 0.15);
}

TEST_F(ScoringSessionTest, ASongNotSungToItsEndHasNoScore)
{
    const struct
    {
        const char *what;
        std::function<void()> act;
        QList<int> scores;
    } cases[] = {
        {"skipped", [this] { session().skip(); }, {}},
        {"paused and played on to the end", [this] {
             session().togglePause();
             session().togglePause();
             player().finishSong();
         }, {}},
        {"failed", [this] { player().fail(QStringLiteral("decoder error")); }, {}},
        // Singing again starts the song anew: the new start, left unsung, scores 0.
        {"sung again", [this] {
             session().singAgain();
             EXPECT_TRUE(QTest::qWaitFor([&] { return scoring.guideRead(); }, 10000));
             player().finishSong();
         }, {0}},
    };
    for (const auto &c : cases) {
        scores.clear();
        scored.clear();
        queueSongs(2);
        scoredSession();
        ASSERT_EQ(player().playState(), PlayState::Playing) << c.what;
        sing(0);
        c.act();
        EXPECT_EQ(scores, c.scores) << c.what;
        EXPECT_EQ(scored.size(), c.scores.size()) << c.what;
        session().close();
        state.OrderedSongs.clear();
    }
}

TEST_F(ScoringSessionTest, TheGuideMovesWithTheKeyTheGuestChose)
{
    queueSongs(3);
    scoredSession();
    session().stepKey(true);
    session().stepKey(true);
    sing(2);
    player().finishSong();
    ASSERT_EQ(scores.size(), 1);
    EXPECT_GE(scores[0], 90) << "sung two up in a key raised by two";

    // The next song starts in its own key again, so the same singing misses.
    ASSERT_EQ(player().playState(), PlayState::Playing);
    sing(2);
    player().finishSong();
    ASSERT_EQ(scores.size(), 2);
    EXPECT_LE(scores[1], 20);
}

// A machine without a microphone: the source refuses to start, or starts and fails before its
// first sample (as autoaudiosrc does on this kind of machine).
TEST_F(ScoringSessionTest, WithoutACaptureDeviceNothingIsScoredAndTheLogSaysSoOnce)
{
    for (const bool refuses : {true, false}) {
        SCOPED_TRACE(refuses ? "refuses to start" : "fails before its first sample");
        (refuses ? capture.refusal : capture.failure) = QStringLiteral("no such device");
        SongScoring fresh(capture, reader);
        scoringWithoutDevice(fresh);
        capture.refusal.clear();
        capture.failure.clear();
        capture.starts = 0;
        session().close();
        state.OrderedSongs.clear();
    }
}

void ScoringSessionTest::scoringWithoutDevice(SongScoring &fresh)
{
    static QStringList log;
    log.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        log.append(text);
    });
    queueSongs(3);
    scoredSession(&fresh);
    for (int song = 0; song < 2; ++song) {
        ASSERT_EQ(player().playState(), PlayState::Playing);
        player().finishSong();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(scores.isEmpty());
    EXPECT_EQ(capture.starts, 1);
    EXPECT_EQ(log.filter(QStringLiteral("no capture device")).size(), 1) << log.join('\n').toStdString();
}

TEST_F(ScoringSessionTest, ACaptureThatFailedWhileTheSongPlayedGivesNoScore)
{
    queueSongs(2);
    scoredSession();
    sing(0);
    capture.failure = QStringLiteral("device unplugged");
    player().finishSong();
    EXPECT_TRUE(scores.isEmpty());
    EXPECT_EQ(events.filter("next up").size(), 2) << "the queue goes on as before";
    EXPECT_EQ(capture.starts, 2) << "the next song is listened to: a capture that once worked may work again";
}

} // namespace
