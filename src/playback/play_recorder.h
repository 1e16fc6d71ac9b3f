#pragma once

#include "core/history_writer.h"
#include "core/play_history.h"

#include <QObject>

#include <functional>
#include <map>
#include <optional>

class PlaybackSession;
class QTimer;
struct SharedState;

// Writes what a playback session plays into the play history: a row when a song starts, its
// seconds played every few seconds (so a crash loses at most those), and how it ended with its
// key, sound channel and score. Singing a song again goes on in the same row. With RememberKey
// it gives the session the key each song last ended with.
class PlayRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSampleMs = 1000;   // the position is read this often
    static constexpr int kWriteEverySamples = 2; // and handed to the writer every other time

    // now gives the time in seconds since 1970 (the system clock in the program).
    PlayRecorder(PlaybackSession &session, SharedState &state, HistoryWriter &writer, bool rememberKey,
                 std::function<qint64()> now, QObject *parent = nullptr);
    ~PlayRecorder() override;

    // The key the song last ended with: this run's plays first, then the history.
    int rememberedKey(const QString &songNum);

private:
    void started();
    void sample();
    void finish(PlayEnd how);
    void write();

    PlaybackSession &m_session;
    SharedState &m_state;
    HistoryWriter &m_writer;
    std::function<qint64()> m_now;
    QTimer *m_sampler;
    int m_samples = 0;
    std::optional<PlayRecord> m_record;
    HistoryWriter::Play m_play = 0;
    qint64 m_playedBeforeMs = 0; // of earlier takes of the same song (sung again)
    qint64 m_positionMs = 0;     // of this take, as last read
    bool m_reachedEnd = false;
    std::map<QString, int> m_keysThisRun;
};
