#include "playback/play_recorder.h"

#include "core/database_error.h"
#include "core/shared_state.h"
#include "playback/playback_session.h"

#include <QTimer>

PlayRecorder::PlayRecorder(PlaybackSession &session, SharedState &state, HistoryWriter &writer, bool rememberKey,
                           std::function<qint64()> now, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_state(state)
    , m_writer(writer)
    , m_now(std::move(now))
    , m_sampler(new QTimer(this))
{
    m_sampler->setInterval(kSampleMs);
    connect(m_sampler, &QTimer::timeout, this, &PlayRecorder::sample);
    connect(&session, &PlaybackSession::songStarted, this, &PlayRecorder::started);
    connect(&session, &PlaybackSession::songReachedEnd, this, [this] { m_reachedEnd = true; });
    connect(&session, &PlaybackSession::songLeaving, this,
            [this] { finish(m_reachedEnd ? PlayEnd::ToTheEnd : PlayEnd::Skipped); });
    connect(&session, &PlaybackSession::closed, this, [this] { finish(PlayEnd::PlayerClosed); });
    connect(&session, &PlaybackSession::pausedChanged, this, [this](bool paused) {
        if (paused && m_record) {
            sample();
            write();
        }
    });
    connect(&session, &PlaybackSession::songScored, this, [this](const QString &songNum, int score) {
        if (m_record && m_record->songNum == songNum) {
            m_record->score = score;
            write();
        }
    });
    if (rememberKey)
        session.rememberKeys([this](const QString &songNum) { return rememberedKey(songNum); });
}

PlayRecorder::~PlayRecorder()
{
    finish(PlayEnd::PlayerClosed);
}

int PlayRecorder::rememberedKey(const QString &songNum)
{
    if (const auto known = m_keysThisRun.find(songNum); known != m_keysThisRun.end())
        return known->second;
    try {
        return PlayHistory::lastKey(m_state.db(), songNum);
    } catch (const DatabaseError &e) {
        qWarning("the key song %s last ended with cannot be read: %s", qPrintable(songNum), qPrintable(e.message()));
        return 0;
    }
}

void PlayRecorder::started()
{
    if (m_state.OrderedSongs.isEmpty())
        return;
    const QueueRow &head = m_state.OrderedSongs.row(0);
    if (m_record && m_record->queueId == head.id) {
        // Sung again or recorded: the same play goes on from the start of the song.
        m_playedBeforeMs += m_positionMs;
        m_positionMs = 0;
        return;
    }
    finish(PlayEnd::PlayerClosed);
    PlayRecord record;
    record.songNum = head.key;
    record.title = head.title;
    record.singer = head.singer;
    record.startedAt = m_now();
    record.orderedBy = head.by.name;
    record.phone = head.by.phone;
    record.queueId = head.id;
    record.key = m_session.key();
    record.channel = m_session.soundChannel();
    m_record = std::move(record);
    m_play = m_writer.start(*m_record);
    m_playedBeforeMs = 0;
    m_positionMs = 0;
    m_reachedEnd = false;
    m_samples = 0;
    m_sampler->start();
}

void PlayRecorder::sample()
{
    if (!m_record)
        return;
    // A stopped or closed player reads 0: the last position read stands.
    m_positionMs = qMax(m_positionMs, m_session.positionMs());
    if (const qint64 length = m_session.durationMs(); length > 0)
        m_record->lengthSeconds = int(length / 1000);
    m_record->playedSeconds = int((m_playedBeforeMs + m_positionMs) / 1000);
    m_record->key = m_session.key();
    m_record->channel = m_session.soundChannel();
    if (++m_samples % kWriteEverySamples == 0)
        write();
}

void PlayRecorder::finish(PlayEnd how)
{
    if (!m_record)
        return;
    m_sampler->stop();
    m_record->key = m_session.key();
    m_record->channel = m_session.soundChannel();
    m_positionMs = qMax(m_positionMs, m_session.positionMs());
    if (how == PlayEnd::ToTheEnd && m_record->lengthSeconds > 0)
        m_positionMs = qMax(m_positionMs, qint64(m_record->lengthSeconds) * 1000 - m_playedBeforeMs);
    m_record->playedSeconds = int((m_playedBeforeMs + m_positionMs) / 1000);
    m_record->end = how;
    m_keysThisRun[m_record->songNum] = m_record->key;
    write();
    m_record.reset();
}

void PlayRecorder::write()
{
    if (m_record)
        m_writer.update(m_play, *m_record);
}
