// The score of a take against a guide, on pitch tracks written out frame by frame: what hits,
// what misses, the key, the octave, the timing slack and when there is no score at all.
#include "scoring/singing_score.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr float kSilent = std::numeric_limits<float>::quiet_NaN();

// frames of one pitch (or silence) appended to a track.
PitchTrack &operator<<(PitchTrack &track, std::pair<size_t, float> run)
{
    track.notes.insert(track.notes.end(), run.first, run.second);
    return track;
}

// A guide of four notes of a second each, 0.3 s of silence before each: farther apart than the
// timing slack reaches.
PitchTrack fourNotes(float shift = 0, float spread = 0)
{
    PitchTrack track;
    for (float note : {60.0F, 64.0F, 67.0F, 72.0F})
        track << std::pair{size_t(30), kSilent} << std::pair{size_t(100), note + shift + spread * (note - 60)};
    return track;
}

int scoreOf(const PitchTrack &guide, const PitchTrack &take, std::vector<KeyChange> keys = {})
{
    const std::optional<SingingScore> result = scoreSinging(guide, take, keys, 1);
    return result ? result->score : -1;
}

TEST(SingingScore, PitchWithinHalfASemitoneInAnyOctaveHits)
{
    const struct
    {
        const char *what;
        float shift;
        int expected;
    } cases[] = {
        {"the same", 0, 100},
        {"an octave down", -12, 100},
        {"two octaves up", 24, 100},
        {"0.45 semitones sharp", 0.45F, 100},
        {"0.55 semitones flat", -0.55F, 0},
        {"a semitone sharp", 1, 0},
        {"a fifth up", 7, 0},
        {"an octave and a semitone down", -13, 0},
        {"a tritone, the farthest in any octave", 6, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(scoreOf(fourNotes(), fourNotes(c.shift)), c.expected) << c.what;
}

TEST(SingingScore, SharesOfHitsSilenceAndSingingOverRests)
{
    const PitchTrack guide = fourNotes();
    PitchTrack halfSilent = fourNotes();
    for (size_t i = 260; i < 520; ++i)
        halfSilent.notes[i] = kSilent; // the last two notes not sung
    PitchTrack overRests = fourNotes();
    for (size_t i : {0, 130, 260, 390})
        for (size_t j = i; j < i + 30; ++j)
            overRests.notes[j] = 50; // singing where the guide rests
    PitchTrack shortTake; // the take stops after the first note
    shortTake << std::pair{size_t(30), kSilent} << std::pair{size_t(100), 60.0F};

    EXPECT_EQ(scoreOf(guide, halfSilent), 50);
    EXPECT_EQ(scoreOf(guide, overRests), 100) << "singing where the guide is silent costs nothing";
    EXPECT_EQ(scoreOf(guide, shortTake), 25);
    EXPECT_EQ(scoreOf(guide, PitchTrack{}), 0);
    EXPECT_EQ(scoreOf(guide, fourNotes(0, 1.0F / 12)), 50) << "only the notes within half a semitone";
}

TEST(SingingScore, TheKeyTheGuestChoseMovesTheGuideFromItsFrameOn)
{
    const PitchTrack guide = fourNotes();
    EXPECT_EQ(scoreOf(guide, fourNotes(2), {{0, 2}}), 100);
    EXPECT_EQ(scoreOf(guide, fourNotes(-3), {{0, -3}}), 100);
    EXPECT_EQ(scoreOf(guide, fourNotes(), {{0, 2}}), 0) << "sung in the original key after raising it";
    // Raised by 2 from the third note on, and sung so.
    PitchTrack followed = fourNotes();
    for (size_t i = 260; i < 520; ++i)
        followed.notes[i] += 2;
    EXPECT_EQ(scoreOf(guide, followed, {{260, 2}}), 100);
    EXPECT_EQ(scoreOf(guide, followed, {{0, 2}}), 50);
}

TEST(SingingScore, EachNoteMayComeUpTo200MsEarlyOrLate)
{
    const PitchTrack guide = fourNotes();
    const struct
    {
        long frames;
        int atLeast;
        int atMost;
    } cases[] = {
        {20, 100, 100}, {-20, 100, 100}, {10, 100, 100}, {-15, 100, 100},
        // 300 ms late: the slack covers 200 of it, the note's first 100 ms miss.
        {30, 89, 91}, {-30, 89, 91},
    };
    for (const auto &c : cases) {
        PitchTrack take;
        take.notes.assign(guide.notes.size() + 60, kSilent);
        for (size_t i = 0; i < guide.size(); ++i) {
            const long at = long(i) + c.frames;
            if (at >= 0)
                take.notes[size_t(at)] = guide.notes[i];
        }
        const int score = scoreOf(guide, take);
        EXPECT_GE(score, c.atLeast) << c.frames;
        EXPECT_LE(score, c.atMost) << c.frames;
    }
}

TEST(SingingScore, NoteByNoteSlackGivesNothingForSingingAtRandom)
{
    // A pitch that wanders over an octave, a step every frame, meets each note now and then.
    PitchTrack wandering;
    for (size_t i = 0; i < 520; ++i)
        wandering.notes.push_back(55.0F + float((i * 7) % 24) * 0.5F);
    EXPECT_LE(scoreOf(fourNotes(), wandering), 20);
}

TEST(SingingScore, AGuideTooShortGivesNoScore)
{
    PitchTrack guide;
    guide << std::pair{size_t(100), kSilent} << std::pair{size_t(299), 60.0F};
    EXPECT_FALSE(scoreSinging(guide, guide, {}, 300));
    guide << std::pair{size_t(1), 60.0F};
    ASSERT_TRUE(scoreSinging(guide, guide, {}, 300));
    EXPECT_EQ(scoreSinging(guide, guide, {}, 300)->score, 100);
    EXPECT_FALSE(scoreSinging(PitchTrack{}, guide, {}, 0)) << "a silent guide never divides by nothing";
}

} // namespace
