#pragma once

struct PlaybackContext;

// What the guest hears: the sound channel (the audio track of a karaoke file: centre 1,
// left 2, right 3) and the music volume in steps of ten.
class SoundControls
{
public:
    explicit SoundControls(PlaybackContext &context);

    int channel() const;
    void setChannel(int channel);
    // "*": the next channel, 1 after 3.
    void nextChannel();
    // Selects track n when the song has at least three audio tracks.
    void ApplySoundChannel(int n);

    int volume() const;
    // Ten down (at 0 below 1) or ten up (at most 100); the new volume.
    int stepVolume(bool up);

private:
    PlaybackContext &m_context;
};
