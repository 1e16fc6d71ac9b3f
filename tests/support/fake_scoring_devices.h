#pragma once

#include "platform/song_sound_reader.h"
#include "platform/voice_capture.h"

#include <QHash>

#include <vector>

// A microphone the test sings into: what it is given goes to the listener at once, on the
// test's thread. It can refuse to start (no capture device) or report a failure when stopped.
class FakeVoiceCapture : public VoiceCapture
{
public:
    QString start(Listener listener) override
    {
        ++starts;
        if (!refusal.isEmpty())
            return refusal;
        m_listener = std::move(listener);
        return {};
    }
    QString stop() override
    {
        m_listener = nullptr;
        return failure;
    }
    bool listening() const { return bool(m_listener); }
    void sing(const std::vector<float> &samples, int rate)
    {
        if (m_listener)
            m_listener(samples.data(), samples.size(), rate);
    }

    QString refusal; // start() fails with this when set
    QString failure; // stop() reports this when set
    int starts = 0;

private:
    Listener m_listener;
};

// Song files as the test makes them: each path's stereo frames, read in blocks as a decoder
// hands them on; any other path is unreadable.
class FakeSongSoundReader : public SongSoundReader
{
public:
    struct Song
    {
        int rate = 44100;
        std::vector<std::vector<float>> tracks; // interleaved stereo frames
    };

    Result read(const QString &path, const Frames &frames, const std::atomic<bool> &stop) override
    {
        const auto song = songs.constFind(path);
        if (song == songs.constEnd())
            return {Outcome::Unreadable, 0, QStringLiteral("no such file")};
        constexpr size_t kBlock = 4096;
        for (size_t at = 0;; at += kBlock) {
            bool more = false;
            for (int t = 0; t < int(song->tracks.size()); ++t) {
                const std::vector<float> &track = song->tracks[size_t(t)];
                if (stop)
                    return {Outcome::Stopped, 0, {}};
                if (2 * at >= track.size())
                    continue;
                more = true;
                frames(t, track.data() + 2 * at, std::min(kBlock, track.size() / 2 - at), song->rate);
            }
            if (!more)
                break;
        }
        return {Outcome::Read, int(song->tracks.size()), {}};
    }

    QHash<QString, Song> songs;
};
