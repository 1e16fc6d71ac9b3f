// Which sound is the guide: the difference of the two sides of a stereo track, or on a file of
// three or more tracks the track of channel 2 as it is.
#include "scoring/guide_vocal.h"
#include "support/singing_media.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace singing_media;

constexpr double kSeconds = 6;

std::vector<float> interleaved(const std::vector<float> &left, const std::vector<float> &right)
{
    std::vector<float> frames(2 * left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        frames[2 * i] = left[i];
        frames[2 * i + 1] = right[i];
    }
    return frames;
}

std::vector<float> steadyTone(double note)
{
    std::vector<float> out(size_t(kSeconds * kRate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = float(0.3 * std::sin(2 * std::numbers::pi * frequencyOf(note) * double(i) / kRate));
    return out;
}

// The guide's pitch at the middle of the first note of the melody (MIDI 60 from 1.0 s).
std::optional<float> firstNote(const GuideVocal::Result &result)
{
    if (!result.pitch || !result.pitch->voiced(130))
        return std::nullopt;
    return result.pitch->notes[130];
}

TEST(GuideVocal, AStereoTrackGivesTheDifferenceOfItsSidesWhicheverSideHoldsTheVoice)
{
    const std::vector<float> music = accompaniment(kSeconds);
    std::vector<float> vocal = music;
    add(vocal, sungMelody(kSeconds, 0));
    for (const bool voiceOnLeft : {true, false}) {
        GuideVocal guide(kRate);
        const std::vector<float> frames = voiceOnLeft ? interleaved(vocal, music) : interleaved(music, vocal);
        guide.add(0, frames.data(), frames.size() / 2);
        const GuideVocal::Result result = guide.finish(1);
        ASSERT_TRUE(firstNote(result)) << result.whyNone;
        EXPECT_NEAR(*firstNote(result), 60, 0.3);
    }
}

TEST(GuideVocal, AFileOfThreeTracksGivesTheTrackOfChannelTwo)
{
    const std::vector<float> melody = sungMelody(kSeconds, 0);
    const std::vector<float> low = steadyTone(45);
    const std::vector<float> high = steadyTone(79);
    GuideVocal guide(kRate);
    const std::vector<std::vector<float>> tracks = {interleaved(low, low), interleaved(melody, melody),
                                                    interleaved(high, high)};
    for (int t = 0; t < 3; ++t)
        guide.add(t, tracks[size_t(t)].data(), tracks[size_t(t)].size() / 2);
    const GuideVocal::Result result = guide.finish(3);
    ASSERT_TRUE(firstNote(result)) << result.whyNone;
    EXPECT_NEAR(*firstNote(result), 60, 0.3);

    // Two tracks are not a karaoke layout of tracks: the first one's sides are compared.
    GuideVocal two(kRate);
    two.add(0, tracks[0].data(), tracks[0].size() / 2);
    two.add(1, tracks[1].data(), tracks[1].size() / 2);
    const GuideVocal::Result none = two.finish(2);
    EXPECT_FALSE(none.pitch);
    EXPECT_NE(none.whyNone.find("same sound"), std::string::npos) << none.whyNone;
}

TEST(GuideVocal, NoGuideWhereNothingIsSung)
{
    const std::vector<float> music = accompaniment(kSeconds);
    const std::vector<float> silence(music.size());
    const std::vector<float> frames = interleaved(music, silence);
    const GuideVocal::Result silentVocal = [&] {
        GuideVocal g(kRate);
        const std::vector<float> quiet = interleaved(silence, silence);
        g.add(0, frames.data(), frames.size() / 2);
        g.add(1, quiet.data(), quiet.size() / 2);
        g.add(2, frames.data(), frames.size() / 2);
        return g.finish(3);
    }();
    EXPECT_FALSE(silentVocal.pitch);
    EXPECT_NE(silentVocal.whyNone.find("vocal track"), std::string::npos) << silentVocal.whyNone;
    EXPECT_FALSE(GuideVocal(kRate).finish(0).pitch) << "a file without sound";
}

} // namespace
