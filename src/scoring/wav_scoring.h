#pragma once

#include "scoring/singing_score.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// Sound read from a WAV file (16-bit PCM or 32-bit float), as floats between -1 and 1.
struct WavSound
{
    int rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
};

// Nothing when the file cannot be read or is not a WAV of those kinds.
std::optional<WavSound> readWavSound(const std::string &path);

// The scorer on files: the song's sound as a WAV (its stereo guide vocal, as a KTV file's track
// decodes) and the guest's take as captured, scored as the jukebox scores a song played to its
// end. problem says why there is no score.
struct WavScore
{
    std::optional<SingingScore> score;
    std::string problem;
};
WavScore scoreWavFiles(const std::string &songWav, const std::string &takeWav, std::span<const KeyChange> keys);
