#pragma once

#include "scoring/pitch_track.h"
#include "scoring/pitch_tracker.h"

#include <cstddef>
#include <optional>
#include <string>

// The pitch of a song's own guide vocal, from its decoded sound tracks. On a file of three or
// more tracks it is the track the vocal switch calls the vocal (channel 2's track); on any
// other file it is the difference of the two sides of the first track: the side with the singer
// minus the side without leaves the voice, whichever side holds it, and a file with the same
// music on both sides leaves nothing. Fed from one decoding thread.
class GuideVocal
{
public:
    static constexpr int kVocalTrack = 1; // from 0: the track of channel 2
    // Less sung than this is no guide vocal (a few stray frames of an instrument).
    static constexpr size_t kMinVoicedFrames = 300;

    explicit GuideVocal(int sampleRate);

    // Interleaved stereo frames of sound track `track`, numbered from 0 as the player numbers them.
    void add(int track, const float *frames, size_t count);

    struct Result
    {
        std::optional<PitchTrack> pitch; // none: no guide vocal
        std::string whyNone;             // for the log, when there is none
    };
    Result finish(int trackCount);

private:
    PitchTracker m_sides;
    PitchTracker m_vocalTrack;
    std::vector<float> m_mono;
    double m_sidesEnergy = 0;
    double m_differenceEnergy = 0;
};
