#pragma once

#include <functional>

// The song playing, as the phone page's owner buttons reach it: present only while the
// jukebox plays the queue full screen (song after song, with the pause between them).
struct PhonePlayer
{
    std::function<bool()> isPlaying; // a song is heard now (skip acts only then)
    std::function<bool()> isPaused;
    std::function<void()> skip;
    std::function<void()> togglePause;
};
