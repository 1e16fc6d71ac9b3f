#pragma once

#include <QString>

#include <gst/gst.h>

// Listens to a player in this process as a sound card would: the sound the player gives to
// playerSink() is taken at the pace of the clock, and wherever the player has fallen behind,
// silence is heard instead (a gap). What was heard goes to a 16-bit stereo WAV file.
class RealTimeCapture
{
public:
    // Starts listening at once.
    explicit RealTimeCapture(const QString &wavPath);
    ~RealTimeCapture();
    RealTimeCapture(const RealTimeCapture &) = delete;
    RealTimeCapture &operator=(const RealTimeCapture &) = delete;

    // The audio sink description for the player. Its sound is handed over kAheadMs early, as a
    // sound card's buffer holds it, so only a player late by more than that leaves a gap.
    QString playerSink() const;
    static constexpr int kAheadMs = 200;

    // Stops listening and closes the file; false when the capture did not run.
    bool finish();

private:
    QString m_channel;
    GstElement *m_pipeline = nullptr;
};
