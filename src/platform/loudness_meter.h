#pragma once

#include <QString>

#include <array>
#include <atomic>
#include <optional>

// How loud one channel choice of a song is: its integrated loudness (EBU R128) and its true peak.
struct ChannelLoudness
{
    double lufs = 0;
    double truePeakDb = 0; // dBTP
};

// What a song plays under each channel choice: [0] centre, [1] left, [2] right. On a file with
// three or more sound tracks a choice is a track; on an ordinary stereo file it is one side on
// both speakers, or both sides. A choice that is silent has no value.
struct SongLoudness
{
    std::array<std::optional<ChannelLoudness>, 3> channels;
};

// Measures what a song file plays. Runs on any thread but the window's; one measurement at a time.
class LoudnessMeter
{
public:
    enum class Outcome {
        Measured,
        Undecodable, // the file is there but its sound cannot be decoded
        Unavailable, // the file is missing, unreadable or not a regular file, or a decoder is not
                     // installed: try again later
        TimedOut,    // took longer than its time limit and was stopped: try again later
        Stopped,     // stop was set: nothing measured
    };
    struct Result
    {
        Outcome outcome = Outcome::Stopped;
        SongLoudness loudness;
    };

    virtual ~LoudnessMeter() = default;
    // Decodes the file at path as fast as it goes and measures it. Setting stop (from any
    // thread) ends the measurement as soon as the file is open. Only a regular file is opened
    // (never a pipe, a device or a folder, which could hold the measurement up for ever).
    virtual Result measure(const QString &path, const std::atomic<bool> &stop) = 0;
};
