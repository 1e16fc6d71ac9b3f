// The loudness meter on the generated clips: every kind of song file the jukebox plays is
// measured per channel choice, levels and peaks come out where they were made, pictures do not
// stop it, and what cannot be measured (or takes too long) says whether to try again.
#include "platform/gst/gst_loudness_meter.h"
#include "support/zip_writer.h"

#include <QTemporaryDir>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

namespace {

QString mediaPath(const char *name)
{
    return qEnvironmentVariable("KARAOKE_TEST_MEDIA") + QLatin1Char('/') + QLatin1String(name);
}

LoudnessMeter::Result measure(const char *name)
{
    std::atomic<bool> stop{false};
    return GstLoudnessMeter().measure(mediaPath(name), stop);
}

double lufs(const LoudnessMeter::Result &result, int channel)
{
    const auto &value = result.loudness.channels[size_t(channel)];
    return value ? value->lufs : -999;
}

TEST(GstLoudnessMeter, MeasuresEveryKindOfSongFileByChannelChoice)
{
    // A pipe and a folder named like songs: opening the pipe would wait for a writer for ever.
    QTemporaryDir odd;
    ASSERT_EQ(mkfifo(QFile::encodeName(odd.filePath("管道.mpg")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(odd.path()).mkdir("資料夾.mpg"));
    using Outcome = LoudnessMeter::Outcome;
    const struct {
        QString file;
        Outcome outcome;
    } cases[] = {
        {mediaPath("mpeg1.mpg"), Outcome::Measured}, {mediaPath("vcd-cdxa.dat"), Outcome::Measured},
        {mediaPath("tone.mp3"), Outcome::Measured},  {mediaPath("clip.avi"), Outcome::Measured},
        {mediaPath("song.mid"), Outcome::Measured},  {mediaPath("three-tracks.mkv"), Outcome::Measured},
        {mediaPath("broken.mpg"), Outcome::Undecodable}, {mediaPath("沒有這個檔.mpg"), Outcome::Unavailable},
        {odd.filePath("管道.mpg"), Outcome::Unavailable}, {odd.filePath("資料夾.mpg"), Outcome::Unavailable},
    };
    for (const auto &c : cases) {
        std::atomic<bool> stop{false};
        const LoudnessMeter::Result result = GstLoudnessMeter().measure(c.file, stop);
        EXPECT_EQ(result.outcome, c.outcome) << c.file.toStdString();
        for (int channel = 0; channel < 3 && c.outcome == Outcome::Measured; ++channel)
            EXPECT_GT(lufs(result, channel), -40) << c.file.toStdString() << " channel " << channel;
    }
}

TEST(GstLoudnessMeter, LevelsComeOutAsFarApartAsTheyWereMade)
{
    const auto loud = measure("level-loud.wav");
    const auto quiet = measure("level-quiet.wav");
    EXPECT_NEAR(lufs(loud, 0) - lufs(quiet, 0), 20, 0.2);
    // One side on both speakers is as loud as the same sound on both sides.
    EXPECT_NEAR(lufs(loud, 1), lufs(loud, 0), 0.1);
    EXPECT_NEAR(loud.loudness.channels[0]->truePeakDb, -6, 0.3);

    const auto sides = measure("sides-10db.wav");
    EXPECT_NEAR(lufs(sides, 1) - lufs(sides, 2), 10, 0.6) << "the left side is 10 dB above the right";
    EXPECT_LT(lufs(sides, 0), lufs(sides, 1)) << "the loud side on both speakers is the loudest choice";
    EXPECT_GT(lufs(sides, 0), lufs(sides, 2));

    // Each of three tracks is a channel choice of its own, not a side of the first.
    const auto tracks = measure("three-levels.mkv");
    EXPECT_NEAR(lufs(tracks, 0) - lufs(tracks, 1), 6, 0.3);
    EXPECT_NEAR(lufs(tracks, 0) - lufs(tracks, 2), 12, 0.3);

    const auto peaks = measure("quiet-peaks.wav");
    EXPECT_LT(lufs(peaks, 0), -20);
    EXPECT_GT(peaks.loudness.channels[0]->truePeakDb, -0.5);

    // Clicks on the right side alone: both sides together peak as high as the right one.
    const auto rightPeaks = measure("right-peaks.wav");
    EXPECT_GT(rightPeaks.loudness.channels[0]->truePeakDb, -0.5);
    EXPECT_GT(rightPeaks.loudness.channels[2]->truePeakDb, -0.5);
    EXPECT_NEAR(rightPeaks.loudness.channels[1]->truePeakDb, -20, 0.5) << "the left side has no clicks";
}

TEST(GstLoudnessMeter, AFileThatTakesLongerThanItsLimitIsStopped)
{
    // Thirty seconds of song allowed three milliseconds: no machine measures that fast.
    std::atomic<bool> stop{false};
    GstLoudnessMeter hasty(GstLoudnessMeter::Priority::Normal, {0.0001, 0});
    EXPECT_EQ(hasty.measure(mediaPath("tone-30s.mpg"), stop).outcome, LoudnessMeter::Outcome::TimedOut);
}

// A CD+G song's sound is its MP3, beside its .cdg or in its zip file; it plays the whole mix
// under every channel choice, so every choice is measured as the mix.
TEST(GstLoudnessMeter, ACdgSongIsMeasuredOnItsMp3AsTheMixUnderEveryChoice)
{
    using Outcome = LoudnessMeter::Outcome;
    QTemporaryDir dir;
    const QByteArray mp3 = fileBytes(mediaPath("sides-10db.mp3"));
    ASSERT_FALSE(mp3.isEmpty());
    const QByteArray pictures(24 * 300, '\0');
    for (const auto &[name, bytes] : {std::pair{"Pair.mp3", mp3}, std::pair{"pair.CDG", pictures}, std::pair{"lone.cdg", pictures}}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    ASSERT_TRUE(writeZip(dir.filePath("song.zip"), {{"a.cdg", pictures}, {"b.mp3", mp3}}));
    ASSERT_TRUE(writeZip(dir.filePath("nosound.zip"), {{"a.cdg", pictures}}));
    const LoudnessMeter::Result plain = measure("sides-10db.mp3");
    ASSERT_EQ(plain.outcome, Outcome::Measured);
    ASSERT_GT(lufs(plain, 1) - lufs(plain, 2), 9) << "the sides of the file itself differ";

    const struct
    {
        const char *file;
        Outcome outcome;
    } cases[] = {
        {"Pair.mp3", Outcome::Measured},   {"pair.CDG", Outcome::Measured},       {"song.zip", Outcome::Measured},
        {"lone.cdg", Outcome::Unavailable}, {"nosound.zip", Outcome::Undecodable}, {"missing.zip", Outcome::Unavailable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        std::atomic<bool> stop{false};
        const LoudnessMeter::Result result = GstLoudnessMeter().measure(dir.filePath(c.file), stop);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != Outcome::Measured)
            continue;
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(lufs(result, channel), lufs(plain, 0), 0.1) << "channel " << channel;
        EXPECT_NEAR(result.loudness.channels[1]->truePeakDb, plain.loudness.channels[0]->truePeakDb, 0.1);
    }
}

TEST(GstLoudnessMeter, StopsAtOnceWhenAsked)
{
    std::atomic<bool> stop{false};
    GstLoudnessMeter meter(GstLoudnessMeter::Priority::Background);
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stop = true;
    });
    const auto result = meter.measure(mediaPath("song.mid"), stop);
    stopper.join();
    EXPECT_EQ(result.outcome, LoudnessMeter::Outcome::Stopped) << "stopped while the sound font loads";
}

} // namespace
