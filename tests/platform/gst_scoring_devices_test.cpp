// What scoring hears from GStreamer: a song's sound tracks numbered as the player numbers them,
// pictures passed over, what is not a song file refused; and the capture source's samples, or
// why there are none.
#include "platform/gst/gst_song_sound_reader.h"
#include "platform/gst/gst_voice_capture.h"
#include "support/test_media.h"
#include "support/tone_analysis.h"

#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <vector>

namespace {

// The left side of each track as 16-bit samples, for the tone analysis.
struct ReadTracks
{
    std::mutex mutex;
    std::map<int, std::vector<qint16>> left;
    int rate = 0;

    SongSoundReader::Frames frames()
    {
        return [this](int track, const float *data, size_t count, int sampleRate) {
            std::lock_guard lock(mutex);
            rate = sampleRate;
            for (size_t i = 0; i < count; ++i)
                left[track].push_back(qint16(data[2 * i] * 32767));
        };
    }
};

TEST(GstSongSoundReader, EveryTrackIsReadInThePlayersOrderAndPicturesArePassedOver)
{
    GstSongSoundReader reader;
    const std::atomic<bool> stop{false};
    const struct
    {
        const char *file;
        std::vector<double> tones; // the tone of each track
    } songs[] = {{"three-tracks.mkv", {300, 600, 900}}, {"stereo-440-880.wav", {440}}, {"mpeg1.mpg", {440}}};
    for (const auto &song : songs) {
        ReadTracks read;
        const SongSoundReader::Result result = reader.read(testMedia(song.file), read.frames(), stop);
        ASSERT_EQ(result.outcome, SongSoundReader::Outcome::Read) << song.file << ": " << result.problem.toStdString();
        ASSERT_EQ(result.trackCount, int(song.tones.size())) << song.file;
        for (int t = 0; t < result.trackCount; ++t) {
            const std::vector<qint16> &samples = read.left[t];
            ASSERT_GT(samples.size(), size_t(read.rate)) << song.file << " track " << t;
            const std::span<const qint16> middle(samples.data() + samples.size() / 4, samples.size() / 2);
            EXPECT_NEAR(strongestFrequency(middle, read.rate, 200, 1000), song.tones[size_t(t)], 2)
                << song.file << " track " << t;
        }
    }
}

TEST(GstSongSoundReader, WhatIsNotASongFileIsRefusedAndStopEndsTheReading)
{
    GstSongSoundReader reader;
    const std::atomic<bool> stop{false};
    QTemporaryDir dir;
    ReadTracks read;
    EXPECT_EQ(reader.read(dir.path(), read.frames(), stop).outcome, SongSoundReader::Outcome::Unreadable) << "a folder";
    EXPECT_EQ(reader.read(dir.filePath("none.mpg"), read.frames(), stop).outcome, SongSoundReader::Outcome::Unreadable);
    EXPECT_EQ(reader.read(testMedia("broken.mpg"), read.frames(), stop).outcome, SongSoundReader::Outcome::Unreadable);
    const std::atomic<bool> stopped{true};
    EXPECT_EQ(reader.read(testMedia("three-tracks.mkv"), read.frames(), stopped).outcome,
              SongSoundReader::Outcome::Stopped);
}

TEST(GstVoiceCapture, TheSourceIsHeardAsMonoSamplesUntilStopped)
{
    GstVoiceCapture capture(QStringLiteral("audiotestsrc is-live=true freq=330 ! audio/x-raw,channels=2,rate=22050"));
    std::mutex mutex;
    std::vector<qint16> heard;
    int rate = 0;
    ASSERT_EQ(capture.start([&](const float *samples, size_t count, int sampleRate) {
        std::lock_guard lock(mutex);
        rate = sampleRate;
        for (size_t i = 0; i < count; ++i)
            heard.push_back(qint16(samples[i] * 32767));
    }), QString());
    QThread::msleep(500);
    EXPECT_EQ(capture.stop(), QString());
    const size_t atStop = heard.size();
    QThread::msleep(100);
    EXPECT_EQ(heard.size(), atStop) << "nothing is heard once stopped";
    EXPECT_EQ(rate, 22050);
    ASSERT_GT(heard.size(), size_t(rate / 4));
    EXPECT_NEAR(strongestFrequency(heard, rate, 200, 500), 330, 2);
}

TEST(GstVoiceCapture, ASourceThatCannotBeMadeOrFailsSaysWhy)
{
    GstVoiceCapture missing(QStringLiteral("nosuchcapturesource"));
    EXPECT_FALSE(missing.start([](const float *, size_t, int) {}).isEmpty());
    GstVoiceCapture failing(QStringLiteral("filesrc location=/nonexistent/take.wav ! wavparse"));
    const QString started = failing.start([](const float *, size_t, int) {});
    QThread::msleep(200);
    const QString stopped = failing.stop();
    EXPECT_FALSE(started.isEmpty() && stopped.isEmpty()) << "a file that is not there is told, at start or at stop";
}

} // namespace
