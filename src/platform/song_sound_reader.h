#pragma once

#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>

// Reads every sound track of a song file as fast as it decodes, for what is computed from the
// sound before or while the song plays (the guide vocal the guest is scored against).
class SongSoundReader
{
public:
    // Interleaved stereo frames of sound track `track`, numbered from 0 as the player numbers
    // them; called on the reader's own decoding threads.
    using Frames = std::function<void(int track, const float *frames, size_t count, int rate)>;

    enum class Outcome { Read, Unreadable, Stopped };
    struct Result
    {
        Outcome outcome = Outcome::Stopped;
        int trackCount = 0;
        QString problem; // for the log, when not read
    };

    virtual ~SongSoundReader() = default;
    // Blocks until the whole file is read, it fails, or stop is set (from any thread). Only a
    // regular file is opened.
    virtual Result read(const QString &path, const Frames &frames, const std::atomic<bool> &stop) = 0;
};
