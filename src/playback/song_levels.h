#pragma once

#include "platform/loudness_meter.h"
#include "platform/media_player.h"

#include <array>

struct Settings;

// The gain of each channel choice of one song: what brings its measured loudness to the target
// of Setting.ini, at most 12 dB either way, and never so much that its true peak passes the
// ceiling (a quiet song with high peaks is raised only as far as its peaks allow, and one that
// peaks above the ceiling is lowered). A song not measured, a silent choice, or evening out
// turned off plays as the file is.
class SongLevels
{
public:
    static constexpr double kMaxGainDb = 12;

    SongLevels() = default;
    SongLevels(const SongLoudness &loudness, const Settings &settings);

    // channel: 1 centre, 2 left, 3 right.
    SongGain gain(int channel) const;

private:
    std::array<SongGain, 3> m_gains{};
};
