#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// A pitch contour in frames of 10 ms from the start of the song: each frame the pitch as a MIDI
// note number (69 is A 440 Hz, fractions are cents), NaN where nothing is sung.
struct PitchTrack
{
    static constexpr double kFrameSeconds = 0.01;

    std::vector<float> notes;

    size_t size() const { return notes.size(); }
    bool voiced(size_t frame) const { return frame < notes.size() && !std::isnan(notes[frame]); }
    size_t voicedCount() const
    {
        size_t count = 0;
        for (size_t i = 0; i < notes.size(); ++i)
            count += voiced(i) ? 1 : 0;
        return count;
    }
};
