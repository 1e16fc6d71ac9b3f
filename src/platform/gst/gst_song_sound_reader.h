#pragma once

#include "platform/song_sound_reader.h"

// The song's sound tracks decoded by GStreamer on threads of the reader's own, at the lowest
// priority (they take only what the machine leaves unused, never a thread a song's pipeline
// borrowed from GStreamer's shared pool). Pictures are passed over undecoded.
class GstSongSoundReader : public SongSoundReader
{
public:
    GstSongSoundReader();
    Result read(const QString &path, const Frames &frames, const std::atomic<bool> &stop) override;
};
