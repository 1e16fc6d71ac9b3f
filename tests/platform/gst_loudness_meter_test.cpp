// The loudness meter on the generated clips: every kind of song file the jukebox plays is
// measured per channel choice, levels come out as far apart as they were made, pictures do
// not stop it, and what cannot be measured says whether to try again.
#include "platform/gst/gst_loudness_meter.h"

#include <gtest/gtest.h>

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
    using Outcome = LoudnessMeter::Outcome;
    const struct {
        const char *file;
        Outcome outcome;
    } cases[] = {
        {"mpeg1.mpg", Outcome::Measured}, {"vcd-cdxa.dat", Outcome::Measured}, {"tone.mp3", Outcome::Measured},
        {"clip.avi", Outcome::Measured},  {"song.mid", Outcome::Measured},     {"three-tracks.mkv", Outcome::Measured},
        {"broken.mpg", Outcome::Undecodable}, {"沒有這個檔.mpg", Outcome::Unavailable},
    };
    for (const auto &c : cases) {
        const LoudnessMeter::Result result = measure(c.file);
        EXPECT_EQ(result.outcome, c.outcome) << c.file;
        for (int channel = 0; channel < 3 && c.outcome == Outcome::Measured; ++channel)
            EXPECT_GT(lufs(result, channel), -40) << c.file << " channel " << channel;
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

    const auto tracks = measure("three-tracks.mkv");
    EXPECT_NEAR(lufs(tracks, 0), lufs(tracks, 2), 1) << "three tracks made at one level";

    const auto peaks = measure("quiet-peaks.wav");
    EXPECT_LT(lufs(peaks, 0), -20);
    EXPECT_GT(peaks.loudness.channels[0]->truePeakDb, -0.5);
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
