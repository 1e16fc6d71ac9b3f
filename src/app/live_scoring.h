#pragma once

#include <QString>

#include <memory>

class FileSystem;
class PlaybackSession;

// Scoring as the program runs it: the capture source the recorder uses and the song's sound
// read ahead, told to each playback session. It is on only with the line "Scoring = 1" the
// owner adds to Setting.ini ("ScoringMelodyChannel = 4" names the melody channel of MIDI
// songs, 1 to 16); the program never writes either line.
class LiveScoring
{
public:
    // Nothing when Setting.ini in appPath has no "Scoring = 1".
    static std::unique_ptr<LiveScoring> forProgramFolder(FileSystem &fs, const QString &appPath);
    ~LiveScoring();

    // Scores the songs of session; does nothing when scoring is off.
    static void attach(LiveScoring *scoring, PlaybackSession &session);

private:
    struct Parts;
    explicit LiveScoring(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};
