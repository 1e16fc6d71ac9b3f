#pragma once

#include <QString>

#include <gst/gst.h>

// The audio path of a song: a pitch stage (key change), a channel mixer (to pick the vocal or
// the accompaniment) and the song's gain with its limiter, all pass-through until set, then
// the sink that plays the sound. A stage whose element is not installed is left out.
class GstMediaAudioSink
{
public:
    static constexpr const char *kChannelMixName = "channelmix";
    static constexpr const char *kPitchName = "pitch";
    static constexpr const char *kSongGainName = "songgain";
    // Absent when its element is not installed; the gain then acts alone.
    static constexpr const char *kLimiterName = "limiter";
    // The limiter holds the sound below full scale; the stage after it brings that to the
    // ceiling, so the gain stage asks for the song's gain divided by this.
    static const double kCeilingLinear;

    // sinkDescription is a gst-launch description of the final sink; empty picks the default.
    // Returns a floating bin, or nullptr with *error set.
    static GstElement *create(const QString &sinkDescription, QString *error);
};
