#pragma once

#include "playback/song_levels.h"

#include <QString>

enum class StereoSide;
struct PlaybackContext;

// What the guest hears: the sound channel, the music volume in steps of ten and the key.
// The channel (centre 1, left 2, right 3) is the audio track of a karaoke file with three
// tracks; on a file with fewer, left or right plays that side of the stereo track on both
// speakers and centre plays it as it is. Each channel plays with the song's gain for it, so
// every song is as loud as the last; the volume acts on top of that. A CD+G song has only its
// mix: it plays as it is whatever the channel (the channel chosen holds for the songs after it).
class SoundControls
{
public:
    static constexpr int kLowestKey = -6;
    static constexpr int kHighestKey = 6;

    explicit SoundControls(PlaybackContext &context);

    // The song about to play: its measured loudness sets the gain of each channel.
    void loadSong(const QString &songNum);

    int channel() const;
    // Heard at once while a song plays; otherwise from the next song on.
    void setChannel(int channel);
    // "*": the next channel, 1 after 3.
    void nextChannel();
    // Selects track n on a song with at least three audio tracks, else the side of channel n.
    void ApplySoundChannel(int n);

    int volume() const;
    // Ten down (at 0 below 1) or ten up (at most 100); the new volume.
    int stepVolume(bool up);

    int key() const;
    // A semitone down or up, only while a song plays and within the limits; true if it changed.
    bool stepKey(bool up);
    // Back to the original key; true if it was changed.
    bool resetKey();
    // The key for the song about to play, within the limits; true if it was changed.
    bool setKey(int semitones);

private:
    bool playing() const;

    PlaybackContext &m_context;
    SongLevels m_levels;
    bool m_mixOnly = false;
};
