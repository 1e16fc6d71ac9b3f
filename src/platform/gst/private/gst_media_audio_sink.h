#pragma once

#include <QString>

#include <gst/gst.h>

// The audio path of a song: a pitch stage (key change), the song's gain and a channel mixer (to
// pick the vocal or the accompaniment), all pass-through until set, then the sink that plays the
// sound. A stage whose element is not installed is left out.
class GstMediaAudioSink
{
public:
    static constexpr const char *kChannelMixName = "channelmix";
    static constexpr const char *kPitchName = "pitch";
    static constexpr const char *kSongGainName = "songgain";

    // sinkDescription is a gst-launch description of the final sink; empty picks the default.
    // Returns a floating bin, or nullptr with *error set.
    static GstElement *create(const QString &sinkDescription, QString *error);
};
