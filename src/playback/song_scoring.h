#pragma once

#include "scoring/singing_score.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class PitchTracker;
class SongSoundReader;
class VoiceCapture;
struct PitchTrack;

// Scores the guest's singing of each song played to its end against the song's own guide
// vocal (Scoring = 1 in Setting.ini). As a song opens, its guide vocal is read from the file on
// a thread of its own; while it plays, the capture source is listened to (nothing is written);
// at its end the two pitch tracks give the score. A song skipped, paused, restarted or failed is
// not scored. Why a song has no score goes to the log, once per song; a machine without a
// capture device scores nothing and says so once.
class SongScoring
{
public:
    // How long the end of a song waits for its guide vocal still being read.
    static constexpr int kGuideWaitMs = 100;

    // melodyChannel: the owner's melody channel of MIDI songs (1 to 16), else the one found.
    SongScoring(VoiceCapture &capture, SongSoundReader &reader, std::optional<int> melodyChannel = std::nullopt);
    ~SongScoring();
    SongScoring(const SongScoring &) = delete;
    SongScoring &operator=(const SongScoring &) = delete;

    // The song at path is about to start in the key the guest hears: its guide vocal is read at once.
    void songOpening(const QString &songNum, const QString &path, int key);
    // The song is heard from now on: listening starts.
    void songPlaying();
    // The key the guest chose, from this moment of the take on.
    void keyChanged(int semitones);
    // The song played to its end: its score, when it has one.
    std::optional<int> songEnded();
    // Skipped, paused, restarted, failed or closed: nothing is scored.
    void abandon();

    // The song being scored, for whoever keeps the score.
    QString songNum() const { return m_songNum; }
    // True once the guide of the song opened last is read (or found missing).
    bool guideRead() const;

private:
    struct Guide;

    void stopReading();
    void onVoice(const float *samples, size_t count, int rate);
    void captureFailed(const QString &problem);
    std::optional<PitchTrack> guideWithin(int milliseconds);

    VoiceCapture &m_capture;
    SongSoundReader &m_reader;
    std::optional<int> m_melodyChannel;
    bool m_noCapture = false;
    bool m_opened = false;
    bool m_listening = false;
    QString m_songNum;
    std::shared_ptr<Guide> m_guide;
    std::thread m_readingThread;
    std::unique_ptr<PitchTracker> m_singer; // touched by the capture thread while listening
    std::atomic<size_t> m_takeFrames{0};
    std::vector<KeyChange> m_keys;
    int m_key = 0;
};
