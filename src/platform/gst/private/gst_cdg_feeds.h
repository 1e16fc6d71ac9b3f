#pragma once

#include "platform/cdg/cdg_picture.h"
#include "platform/cdg/cdg_playback.h"
#include "platform/cdg/cdg_song.h"
#include "platform/cdg/song_part_reader.h"

#include <QString>

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>

// The appsrc that hands the CD+G pictures to the pipeline: a frame at the video rate, stamped
// with its time from the packet count. A frame that shows what the one before it showed is not
// sent again: the one before lasts longer (up to a fifth of a second). The appsrc owns the feed.
class GstCdgPictureFeed
{
public:
    // The appsrc, or null with problem set when the pictures cannot be read.
    static GstElement *create(const CdgSongPart &part, const CdgFrameLayout &layout, QString *problem);
    // No frame from the given time (nanoseconds) on; from any thread.
    static void endAt(GstElement *appsrc, std::int64_t time);

private:
    GstCdgPictureFeed(GstAppSrc *appsrc, const CdgSongPart &part, const CdgFrameLayout &layout);

    static void onNeedData(GstAppSrc *appsrc, guint length, gpointer self);
    static gboolean onSeekData(GstAppSrc *appsrc, guint64 time, gpointer self);
    static void destroy(gpointer self);

    void pushPicture();
    void restartAt(std::int64_t frame);
    GstBuffer *drawnPicture();

    GstAppSrc *m_appsrc; // not owned: the appsrc owns the feed
    CdgSongPart m_part;
    std::unique_ptr<SongPartReader> m_reader;
    std::unique_ptr<CdgPlayback> m_playback;
    std::int64_t m_frame = 0; // the frame the screen shows now, sent next
    bool m_ended = false;
    CdgFrameLayout m_layout;

    std::atomic<std::int64_t> m_endTime{-1}; // -1: the pictures' own end
};

// The appsrc that hands the song's MP3 to the pipeline as bytes, for decodebin to decode as
// any MP3 file. The appsrc owns the feed.
class GstSongSoundFeed
{
public:
    // The appsrc, or null with problem set when the sound cannot be read.
    static GstElement *create(const CdgSongPart &part, QString *problem);

private:
    GstSongSoundFeed(GstAppSrc *appsrc, const CdgSongPart &part);

    static void onNeedData(GstAppSrc *appsrc, guint length, gpointer self);
    static gboolean onSeekData(GstAppSrc *appsrc, guint64 offset, gpointer self);
    static void destroy(gpointer self);

    GstAppSrc *m_appsrc;
    SongPartReader m_reader;
    std::uint64_t m_offset = 0;
};
