#pragma once

#include <memory>

class PlaybackSession;
struct Settings;

// Scoring as the program runs it (Scoring = 1): the capture source the recorder uses and the
// song's sound read ahead, told to each playback session. Nothing when the line is absent.
class LiveScoring
{
public:
    static std::unique_ptr<LiveScoring> forSettings(const Settings &settings);
    ~LiveScoring();

    // Scores the songs of session; does nothing when scoring is off.
    static void attach(LiveScoring *scoring, PlaybackSession &session);

private:
    explicit LiveScoring(const Settings &settings);
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
