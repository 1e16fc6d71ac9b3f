#pragma once

#include "scoring/pitch_track.h"

#include <cstddef>
#include <memory>
#include <vector>

// Follows the pitch of one voice in mono samples fed in blocks of any size, with aubio's YIN
// ("yinfast", the same YIN computed by FFT; aubio's yinfft reports no confidence on a steady
// voice): a frame every 10 ms over a window of at least 40 ms (2048 samples at 44.1 kHz). A frame counts as sung only when
// aubio is confident of its pitch and the sound is above a whisper.
class PitchTracker
{
public:
    static constexpr float kMinConfidence = 0.75F;
    static constexpr float kSilenceDb = -50;

    explicit PitchTracker(int sampleRate);
    ~PitchTracker();
    PitchTracker(const PitchTracker &) = delete;
    PitchTracker &operator=(const PitchTracker &) = delete;

    int sampleRate() const { return m_rate; }
    void add(const float *samples, size_t count);
    // The frames so far; the tracker keeps going.
    const PitchTrack &track() const { return m_track; }
    PitchTrack take() { return std::move(m_track); }

private:
    struct Aubio;

    void analyseHop();

    int m_rate;
    size_t m_hop;
    std::unique_ptr<Aubio> m_aubio;
    std::vector<float> m_pending;
    PitchTrack m_track;
};
