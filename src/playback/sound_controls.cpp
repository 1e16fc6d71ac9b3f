#include "playback/sound_controls.h"

#include "core/shared_state.h"
#include "platform/media_player.h"
#include "playback/playback_context.h"

#include <QtGlobal>

SoundControls::SoundControls(PlaybackContext &context)
    : m_context(context)
{
}

int SoundControls::channel() const
{
    return m_context.state.SoundChannel;
}

void SoundControls::setChannel(int channel)
{
    m_context.state.SoundChannel = channel;
}

void SoundControls::nextChannel()
{
    const int current = m_context.state.SoundChannel;
    setChannel(current >= 3 ? 1 : current + 1);
}

void SoundControls::ApplySoundChannel(int n)
{
    if (m_context.wmp1.audioTrackCount() >= 3)
        m_context.wmp1.setCurrentAudioTrack(n);
}

int SoundControls::volume() const
{
    return m_context.wmp1.volume();
}

int SoundControls::stepVolume(bool up)
{
    int v = m_context.wmp1.volume();
    if (up) {
        v = qMin(100, v + 10);
    } else {
        v -= 10;
        if (v < 1)
            v = 0;
    }
    m_context.wmp1.setVolume(v);
    return v;
}
