// The scorer as a library on WAV files: a generated KTV song and the guest's takes, scored as
// the jukebox scores a song sung to its end.
#include "scoring/wav_scoring.h"
#include "support/singing_media.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace singing_media;

constexpr double kSeconds = 30;

class WavScoringTest : public ::testing::Test
{
protected:
    std::string path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString(); }
    std::string take(const char *name, const std::vector<float> &voice) const
    {
        EXPECT_TRUE(writeWav(QString::fromStdString(path(name)), voice));
        return path(name);
    }

    QTemporaryDir m_dir;
};

TEST_F(WavScoringTest, TakesScoreAsTheySing)
{
    ASSERT_TRUE(writeKtvSong(QString::fromStdString(path("song.wav")), kSeconds));
    const struct
    {
        const char *what;
        std::vector<float> voice;
        int key;
        int atLeast;
        int atMost;
    } cases[] = {
        {"the melody", sungMelody(kSeconds, 0), 0, 90, 100},
        {"an octave down", sungMelody(kSeconds, -12), 0, 85, 100},
        {"a semitone sharp throughout", sungMelody(kSeconds, 1), 0, 0, 20},
        {"a semitone flat throughout", sungMelody(kSeconds, -1), 0, 0, 20},
        {"silence", std::vector<float>(size_t(kSeconds * kRate)), 0, 0, 0},
        {"talking", talking(kSeconds), 0, 0, 15},
        {"two up after raising the key by two", sungMelody(kSeconds, 2), 2, 90, 100},
        {"the original key after raising it by two", sungMelody(kSeconds, 0), 2, 0, 20},
    };
    for (const auto &c : cases) {
        const std::vector<KeyChange> keys{{0, c.key}};
        const WavScore result = scoreWavFiles(path("song.wav"), take("take.wav", c.voice), keys);
        ASSERT_TRUE(result.score) << c.what << ": " << result.problem;
        std::printf("%s: %d\n", c.what, result.score->score); // the figures of the closing note
        EXPECT_GE(result.score->score, c.atLeast) << c.what;
        EXPECT_LE(result.score->score, c.atMost) << c.what;
    }
}

TEST_F(WavScoringTest, ASongWithoutAGuideVocalHasNoScoreAndSaysWhy)
{
    ASSERT_TRUE(writeKtvSong(QString::fromStdString(path("same.wav")), 10, false));
    const std::string sung = take("take.wav", sungMelody(10, 0));
    const WavScore same = scoreWavFiles(path("same.wav"), sung, {});
    EXPECT_FALSE(same.score);
    EXPECT_NE(same.problem.find("same sound"), std::string::npos) << same.problem;

    ASSERT_TRUE(writeWav(QString::fromStdString(path("mono.wav")), sungMelody(10, 0)));
    EXPECT_FALSE(scoreWavFiles(path("mono.wav"), sung, {}).score) << "a mono song has no second side";

    const WavScore missing = scoreWavFiles(path("nothing.wav"), sung, {});
    EXPECT_FALSE(missing.score);
    EXPECT_NE(missing.problem.find("cannot read"), std::string::npos);
}

} // namespace
