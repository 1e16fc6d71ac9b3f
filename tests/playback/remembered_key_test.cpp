// A remembered key on the real media engine: a song ends 2 semitones up, and the next time it
// plays the sink hears it 2 semitones up and the message over the video says "升2"; with the
// line off it plays in its own key.
#include "core/history_writer.h"
#include "core/lookups.h"
#include "platform/gst/gst_media_player.h"
#include "playback/play_recorder.h"
#include "playback/playback_session.h"
#include "support/jukebox_fixture.h"
#include "support/singing_media.h"
#include "support/test_media.h"
#include "support/tone_analysis.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

constexpr double kSongSeconds = 6;
constexpr double kTone = 440;

// Real players whose sound is written to a WAV file the test reads; a new song starts the file anew.
class RecordingEngine : public MediaPlayerFactory
{
public:
    explicit RecordingEngine(QString wav)
        : m_wav(std::move(wav))
    {
    }
    std::unique_ptr<MediaPlayer> create() override
    {
        auto made = std::make_unique<GstMediaPlayer>(
            GstMediaPlayer::Options{QStringLiteral("fakesink sync=true"), wavFileSink(m_wav)});
        last = made.get();
        return made;
    }
    MediaPlayer *last = nullptr;

private:
    QString m_wav;
};

class RememberedKeyTest : public JukeboxFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        JukeboxFixture::SetUp();
        std::vector<float> tone(size_t(kSongSeconds * 44100));
        for (size_t i = 0; i < tone.size(); ++i)
            tone[i] = float(0.3 * std::sin(2 * std::numbers::pi * kTone * double(i) / 44100));
        ASSERT_TRUE(singing_media::writeWav(dir.filePath(QStringLiteral("tone.wav")), tone));
        catalogue.addSong(QStringLiteral("101001"), 1, QStringLiteral("月亮"), catalogue.addSinger("測試", 2),
                          dir.filePath(QStringLiteral("tone.wav")));
    }

    QTemporaryDir dir;
    RecordingEngine engine{dir.filePath(QStringLiteral("heard.wav"))};
    Services services{fakes.fileSystem, fakes.clock, fakes.messageBoxes, fakes.fileDialogs,
                      fakes.mousePointer, fakes.shutdown, engine, fakes.mci, fakes.printer, fakes.spreadsheets};
};

TEST_P(RememberedKeyTest, TheNextTimeTheSongPlaysInTheKeyItEndedWith)
{
    const bool remember = GetParam();
    HistoryWriter writer(state.DbPath, 365);
    PlaybackSession session(state, services);
    const PlayRecorder recorder(session, state, writer, remember, [] { return QDateTime::currentSecsSinceEpoch(); });
    QStringList messages;
    // What the message over the video said while the song played the second time.
    QObject::connect(&session, &PlaybackSession::messageChanged, [&](const QString &text) {
        if (state.OrderedSongs.length() == 1)
            messages << text;
    });
    for (int i = 0; i < 2; ++i)
        ASSERT_GE(AddToOrderList(state, QStringLiteral("101001")), 0);
    session.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.last && engine.last->playState() == PlayState::Playing; }, 10000));
    session.stepKey(true);
    session.stepKey(true);
    ASSERT_EQ(session.key(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.length() == 1; }, 30000)) << "the first time ends";
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.last->playState() == PlayState::Playing; }, 10000));
    EXPECT_EQ(session.key(), remember ? 2 : 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.OrderedSongs.isEmpty(); }, 30000)) << "the second time ends";
    session.close();
    ASSERT_TRUE(writer.flush(5000));

    const Wav heard = readWav(dir.filePath(QStringLiteral("heard.wav")));
    ASSERT_GT(heard.samples.size(), 44100) << "the second time was heard";
    const QList<qint16> middle = channel(heard, 0, 2, 4);
    const double expected = remember ? kTone * std::pow(2.0, 2.0 / 12) : kTone;
    EXPECT_NEAR(strongestFrequency(middle, heard.rate, 400, 540), expected, 3);
    EXPECT_EQ(messages.contains(QStringLiteral("月亮--測試  升2")), remember) << messages.join(" / ").toStdString();
    EXPECT_EQ(reader.OpenRecordset(QStringLiteral("SELECT group_concat(key_end) FROM play_history")).value(0).toString(),
              remember ? QStringLiteral("2,2") : QStringLiteral("2,0"));
}

INSTANTIATE_TEST_SUITE_P(Line, RememberedKeyTest, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "RememberKeyOn" : "RememberKeyOff"; });

} // namespace
