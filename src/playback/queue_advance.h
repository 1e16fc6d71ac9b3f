#pragma once

#include <QString>

#include <functional>
#include <optional>

struct PlaybackContext;

// The queue played song after song: the head of the queue starts, a song that ends, fails or
// is skipped leaves the queue and the next one starts after three seconds, and a song queued
// while nothing plays starts within Timer1's five seconds.
class QueueAdvance
{
public:
    explicit QueueAdvance(PlaybackContext &context);

    // The player's first activation: after three seconds the head of the queue plays.
    void start();
    // Ends the current song and starts the next one; true if a song was started.
    bool play_next();
    // Plays the head of the queue from its beginning; beforePlay runs just before it starts
    // (the recording device starts there). False when the head cannot start now: the catalogue is busy
    // or the media engine is incomplete. The song then stays queued and Timer1 tries again.
    bool playHead(const std::function<void()> &beforePlay = {});
    void Timer1_Timer();
    // End of stream, or an error with its reason: the next song, unless the report is about
    // a song that was already replaced by the next one.
    void songEnded();
    void songFailed(const QString &reason);
    // True when an end of stream reported now is about the song playing.
    bool endIsCurrent() const { return !reportIsStale(); }

    // While the song changes (the pause between songs, a restart), reports about the old
    // song are stale and change nothing.
    class Changing
    {
    public:
        explicit Changing(QueueAdvance &queue);
        ~Changing();
        Changing(const Changing &) = delete;
        Changing &operator=(const Changing &) = delete;

    private:
        QueueAdvance &m_queue;
        bool m_outer;
    };

private:
    // A song is playing or about to: a report of its end or failure is about an older one.
    bool songUnderway() const;
    bool reportIsStale() const;
    // "file://" and where the head's song file is; nullopt when that cannot be known now.
    std::optional<QString> headUrl();

    PlaybackContext &m_context;
    bool m_changing = false;
    bool m_catalogueWasBusy = false;
    bool m_toldMissingParts = false;
};
