#include "scoring/guide_vocal.h"

GuideVocal::GuideVocal(int sampleRate)
    : m_sides(sampleRate)
    , m_vocalTrack(sampleRate)
{
}

void GuideVocal::add(int track, const float *frames, size_t count)
{
    if (track != 0 && track != kVocalTrack)
        return;
    m_mono.resize(count);
    if (track == kVocalTrack) {
        for (size_t i = 0; i < count; ++i)
            m_mono[i] = 0.5F * (frames[2 * i] + frames[2 * i + 1]);
        m_vocalTrack.add(m_mono.data(), count);
    }
    if (track != 0)
        return;
    for (size_t i = 0; i < count; ++i) {
        const float left = frames[2 * i];
        const float right = frames[2 * i + 1];
        m_mono[i] = left - right;
        m_sidesEnergy += double(left) * left + double(right) * right;
        m_differenceEnergy += double(m_mono[i]) * m_mono[i];
    }
    m_sides.add(m_mono.data(), count);
}

GuideVocal::Result GuideVocal::finish(int trackCount)
{
    if (trackCount <= 0)
        return {std::nullopt, "the file has no sound"};
    const bool ownTrack = trackCount >= 3;
    PitchTrack pitch = ownTrack ? m_vocalTrack.take() : m_sides.take();
    if (pitch.voicedCount() >= kMinVoicedFrames)
        return {std::move(pitch), {}};
    if (ownTrack)
        return {std::nullopt, "nothing is sung on the vocal track"};
    // -60 dB between the sides: the same sound on both (or a mono file).
    if (m_differenceEnergy <= m_sidesEnergy * 1e-6)
        return {std::nullopt, "both sides carry the same sound, so there is no guide vocal on either"};
    return {std::nullopt, "what differs between the two sides is not a singing voice"};
}
