#pragma once

#include <QString>

#include <functional>

class MediaPlayer;
class QTimer;
struct Services;
struct SharedState;

// What the playback flows share: the shared state, the outside world, the one media player
// and the two timers that watch it, and the ways back to the session that owns them all.
struct PlaybackContext
{
    SharedState &state;
    Services &services;
    MediaPlayer &wmp1;
    QTimer &Timer1; // every 5 s of the clock: starts a queued song while nothing plays
    QTimer &Timer2; // every 100 ms: the next song after a stop; the sound channel while playing

    // Waits while events go on being handled. False when the session was closed meanwhile:
    // the caller then returns at once and touches nothing.
    std::function<bool(double seconds)> wait;
    std::function<void(int mode)> Load_Background; // 1 the background picture, 0 the video
    std::function<void(const QString &text)> showMessage;
    std::function<void()> songOpening;   // the head of the queue is about to start: its sound is set
    std::function<void()> songStarted;   // the head of the queue has just been started
    std::function<void()> queueAdvanced; // row 0 was taken off the queue
    std::function<void()> nextUp;        // the pause before the head of the queue starts
    // The pause after a song that ended, before the next-up card: its score is shown there.
    // False when the session was closed meanwhile.
    std::function<bool()> afterSong;
};
