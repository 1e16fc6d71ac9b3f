#pragma once

#include "scoring/pitch_track.h"

#include <cstddef>
#include <optional>
#include <span>

// A key the guest chose, from a frame of the take on.
struct KeyChange
{
    size_t frame = 0;
    int semitones = 0;
};

// How well the take follows the guide vocal, 0 to 100: the share of the guide's sung frames
// that the guest hits. A frame is hit when the guest's pitch, within the timing slack, is less
// than half a semitone from the guide's moved by the key the guest chose, in any octave (a man
// singing a woman's song an octave down still hits). The slack is chosen per note of the guide
// (a run of frames without a jump), the one offset of up to 200 ms that hits most of it, so a
// singer early or late by a little loses nothing but singing at random gains nothing.
// Silence and talking over the guide miss; singing where the guide is silent counts for nothing.
// Nothing when the guide has fewer than minVoiced sung frames.
struct SingingScore
{
    static constexpr int kSlackFrames = 20;          // 200 ms
    static constexpr float kHitSemitones = 0.5F;
    static constexpr float kNoteJumpSemitones = 0.6F; // a larger step between frames starts a new note

    int score = 0;
    size_t guideFrames = 0;
    size_t hitFrames = 0;
};

std::optional<SingingScore> scoreSinging(const PitchTrack &guide, const PitchTrack &take,
                                         std::span<const KeyChange> keys, size_t minVoiced);
