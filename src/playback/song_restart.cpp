#include "playback/song_restart.h"

#include "platform/media_player.h"
#include "playback/playback_context.h"
#include "playback/queue_advance.h"
#include "playback/recording_take.h"

#include <QTimer>

SongRestart::SongRestart(PlaybackContext &context, QueueAdvance &queue, RecordingTake &take)
    : m_context(context)
    , m_queue(queue)
    , m_take(take)
{
}

void SongRestart::key_replay()
{
    if (m_context.wmp1.playState() != PlayState::Playing)
        return;
    m_take.discard();
    restartHead({});
}

void SongRestart::cmdRecord()
{
    if (m_context.wmp1.playState() != PlayState::Playing)
        return;
    const bool again = m_take.isRecording();
    if (again)
        m_take.markRetaking();
    bool deviceStarted = false;
    if (restartHead([&] { deviceStarted = m_take.startDevice(again); }) && deviceStarted)
        m_take.begin();
    else
        m_take.cancelRetaking();
}

bool SongRestart::restartHead(const std::function<void()> &beforePlay)
{
    const QueueAdvance::Changing changing(m_queue);
    m_context.Timer2.stop();
    m_context.Timer1.stop();
    // Stopping ends a running take through the play-state handling, which saves it.
    m_context.wmp1.stop();
    m_context.wmp1.close();
    m_context.Load_Background(1);
    if (!m_context.wait(2))
        return false;
    const bool started = m_queue.playHead(beforePlay);
    m_context.Timer2.start();
    m_context.Timer1.start();
    return started;
}
