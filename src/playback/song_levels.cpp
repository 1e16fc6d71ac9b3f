#include "playback/song_levels.h"

#include "core/settings.h"

#include <algorithm>

SongLevels::SongLevels(const SongLoudness &loudness, const Settings &settings)
{
    if (settings.EvenLoudness == 0)
        return;
    for (size_t i = 0; i < m_gains.size(); ++i) {
        const std::optional<ChannelLoudness> &measured = loudness.channels[i];
        if (!measured)
            continue;
        const double towardsTarget = std::clamp(settings.LoudnessTarget - measured->lufs, -kMaxGainDb, kMaxGainDb);
        m_gains[i] = {std::min(towardsTarget, SongGain::kCeilingDb - measured->truePeakDb)};
    }
}

SongGain SongLevels::gain(int channel) const
{
    if (channel < 1 || channel > int(m_gains.size()))
        return {};
    return m_gains[size_t(channel - 1)];
}
