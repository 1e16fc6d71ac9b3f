#pragma once

#include <functional>

class QueueAdvance;
class RecordingTake;
struct PlaybackContext;

// The song at the head of the queue sung again from its beginning: alone (the control bar's
// "7重唱", hot key A), or with a new take of the guest's singing (the mixer's "9錄音", hot key R).
// Either shows the background for two seconds first; the queue does not change.
class SongRestart
{
public:
    SongRestart(PlaybackContext &context, QueueAdvance &queue, RecordingTake &take);

    // Sing again; the take of the song cut short is discarded.
    void key_replay();
    // Record: a new take starts with the song. While recording, the take is done again under
    // the same name.
    void cmdRecord();

private:
    // False when the song did not start again (the session closed, or the catalogue is busy).
    bool restartHead(const std::function<void()> &beforePlay);

    PlaybackContext &m_context;
    QueueAdvance &m_queue;
    RecordingTake &m_take;
};
