#include "playback/sound_controls.h"

#include "catalogue/song_loudness.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "platform/cdg/cdg_song.h"
#include "platform/media_player.h"
#include "playback/playback_context.h"

#include <QtGlobal>

namespace {

StereoSide sideOf(int channel)
{
    switch (channel) {
    case 2:
        return StereoSide::Left;
    case 3:
        return StereoSide::Right;
    default:
        return StereoSide::Both;
    }
}

} // namespace

SoundControls::SoundControls(PlaybackContext &context)
    : m_context(context)
{
}

void SoundControls::loadSong(const QString &songNum)
{
    m_levels = {};
    const QString url = m_context.wmp1.url();
    const QString file = QStringLiteral("file://");
    m_mixOnly = url.startsWith(file) && findCdgSong(url.mid(file.size())).isCdg;
    try {
        if (const std::optional<SongLoudness> loudness = findLoudness(m_context.state.db(), songNum))
            m_levels = SongLevels(*loudness, m_context.state.settings);
    } catch (const DatabaseError &e) {
        // The song plays as its file is; the catalogue's trouble shows where it matters.
        qWarning("song %s plays without its loudness: %s", qPrintable(songNum), qPrintable(e.message()));
    }
    m_context.wmp1.setSongGain(m_levels.gain(m_mixOnly ? 1 : m_context.state.SoundChannel));
    // Not a moment of one side alone before the channel is applied again.
    if (m_mixOnly)
        m_context.wmp1.setStereoSide(StereoSide::Both);
}

int SoundControls::channel() const
{
    return m_context.state.SoundChannel;
}

void SoundControls::setChannel(int channel)
{
    m_context.state.SoundChannel = channel;
    // Timer2 would apply it within 100 ms; the guest hears it sooner this way.
    if (playing())
        ApplySoundChannel(channel);
}

void SoundControls::nextChannel()
{
    const int current = m_context.state.SoundChannel;
    setChannel(current >= 3 ? 1 : current + 1);
}

void SoundControls::ApplySoundChannel(int n)
{
    MediaPlayer &wmp = m_context.wmp1;
    if (m_mixOnly)
        n = 1;
    wmp.setSongGain(m_levels.gain(n));
    if (wmp.audioTrackCount() >= 3) {
        // Each channel is a track of its own, played as it is.
        wmp.setCurrentAudioTrack(n);
        wmp.setStereoSide(StereoSide::Both);
        return;
    }
    wmp.setStereoSide(sideOf(n));
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

int SoundControls::key() const
{
    return m_context.wmp1.key();
}

bool SoundControls::stepKey(bool up)
{
    if (!playing())
        return false;
    const int current = key();
    const int next = qBound(kLowestKey, current + (up ? 1 : -1), kHighestKey);
    if (next == current)
        return false;
    m_context.wmp1.setKey(next);
    return true;
}

bool SoundControls::resetKey()
{
    return setKey(0);
}

bool SoundControls::setKey(int semitones)
{
    const int next = qBound(kLowestKey, semitones, kHighestKey);
    if (key() == next)
        return false;
    m_context.wmp1.setKey(next);
    return true;
}

bool SoundControls::playing() const
{
    return m_context.wmp1.playState() == PlayState::Playing;
}
