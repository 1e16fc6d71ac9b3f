#include "gst_cdg_feeds.h"

#include <algorithm>
#include <vector>

namespace {

// An unchanged picture is sent again at least this often (in frames), so the sinks see time
// pass and the pictures can end soon after the sound.
constexpr std::int64_t kLongestHold = CdgPlayback::kFramesPerSecond / 5;
constexpr std::size_t kSoundChunk = 64 * 1024;
constexpr const char *kFeedKey = "karaoke-cdg-feed";

GstCaps *pictureCaps(const CdgFrameLayout &layout)
{
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT, layout.width,
                               "height", G_TYPE_INT, layout.height, "framerate", GST_TYPE_FRACTION,
                               CdgPlayback::kFramesPerSecond, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1,
                               nullptr);
}

GstAppSrc *newAppSrc(const char *name, QString *problem)
{
    GstElement *element = gst_element_factory_make("appsrc", name);
    if (!element)
        *problem = QStringLiteral("缺少 GStreamer 元件 appsrc, 請安裝 gstreamer1.0-plugins-base");
    return element ? GST_APP_SRC(element) : nullptr;
}

void discard(GstAppSrc *appsrc)
{
    gst_object_unref(gst_object_ref_sink(appsrc));
}

} // namespace

GstCdgPictureFeed::GstCdgPictureFeed(GstAppSrc *appsrc, const CdgSongPart &part, const CdgFrameLayout &layout)
    : m_appsrc(appsrc)
    , m_part(part)
    , m_layout(layout)
{
    restartAt(0);
}

GstElement *GstCdgPictureFeed::create(const CdgSongPart &part, const CdgFrameLayout &layout, QString *problem)
{
    GstAppSrc *appsrc = newAppSrc("pictures", problem);
    if (!appsrc)
        return nullptr;
    auto *feed = new GstCdgPictureFeed(appsrc, part, layout);
    if (!feed->m_reader->isOpen()) {
        *problem = feed->m_reader->problem();
        delete feed;
        discard(appsrc);
        return nullptr;
    }
    GstCaps *caps = pictureCaps(layout);
    g_object_set(appsrc, "caps", caps, "format", GST_FORMAT_TIME, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE,
                 nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &GstCdgPictureFeed::onNeedData;
    callbacks.seek_data = &GstCdgPictureFeed::onSeekData;
    gst_app_src_set_callbacks(appsrc, &callbacks, feed, &GstCdgPictureFeed::destroy);
    g_object_set_data(G_OBJECT(appsrc), kFeedKey, feed);
    return GST_ELEMENT(appsrc);
}

void GstCdgPictureFeed::endAt(GstElement *appsrc, std::int64_t time)
{
    if (auto *feed = static_cast<GstCdgPictureFeed *>(g_object_get_data(G_OBJECT(appsrc), kFeedKey)))
        feed->m_endTime = time;
}

void GstCdgPictureFeed::onNeedData(GstAppSrc *, guint, gpointer self)
{
    static_cast<GstCdgPictureFeed *>(self)->pushPicture();
}

// The appsrc asks with the stream lock held, so no picture is being pushed meanwhile.
gboolean GstCdgPictureFeed::onSeekData(GstAppSrc *, guint64 time, gpointer self)
{
    auto *feed = static_cast<GstCdgPictureFeed *>(self);
    feed->restartAt(std::int64_t(time) * CdgPlayback::kFramesPerSecond / GST_SECOND);
    return feed->m_reader->isOpen();
}

void GstCdgPictureFeed::destroy(gpointer self)
{
    delete static_cast<GstCdgPictureFeed *>(self);
}

void GstCdgPictureFeed::restartAt(std::int64_t frame)
{
    m_reader = std::make_unique<SongPartReader>(m_part);
    SongPartReader *reader = m_reader.get();
    m_playback = std::make_unique<CdgPlayback>(
        [reader](std::uint8_t *buffer, std::size_t size) { return reader->read(buffer, size); });
    m_frame = frame;
    m_ended = !m_playback->advanceToFrame(m_frame);
}

// Sends the picture of the current frame, lasting until the first later frame that differs.
void GstCdgPictureFeed::pushPicture()
{
    const std::int64_t endTime = m_endTime;
    if (m_ended || (endTime >= 0 && CdgPlayback::frameTime(m_frame) >= endTime)) {
        if (!m_reader->problem().isEmpty())
            GST_ELEMENT_WARNING(m_appsrc, RESOURCE, READ, ("%s", m_reader->problem().toUtf8().constData()), (nullptr));
        gst_app_src_end_of_stream(m_appsrc);
        return;
    }
    GstBuffer *buffer = drawnPicture();
    const std::uint64_t shown = m_playback->screen().generation();
    std::int64_t next = m_frame + 1;
    bool more = m_playback->advanceToFrame(next);
    while (more && next - m_frame < kLongestHold && m_playback->screen().generation() == shown)
        more = m_playback->advanceToFrame(++next);
    m_ended = !more;
    std::int64_t until = CdgPlayback::frameTime(next);
    if (endTime >= 0)
        until = std::min(until, endTime);
    GST_BUFFER_PTS(buffer) = GstClockTime(CdgPlayback::frameTime(m_frame));
    GST_BUFFER_DURATION(buffer) = GstClockTime(until - CdgPlayback::frameTime(m_frame));
    m_frame = next;
    gst_app_src_push_buffer(m_appsrc, buffer);
}

GstBuffer *GstCdgPictureFeed::drawnPicture()
{
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, m_layout.bytes(), nullptr);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        drawCdgFrame(m_playback->screen(), m_layout, map.data);
        gst_buffer_unmap(buffer, &map);
    }
    return buffer;
}

GstSongSoundFeed::GstSongSoundFeed(GstAppSrc *appsrc, const CdgSongPart &part)
    : m_appsrc(appsrc)
    , m_reader(part)
{
}

GstElement *GstSongSoundFeed::create(const CdgSongPart &part, QString *problem)
{
    GstAppSrc *appsrc = newAppSrc("sound", problem);
    if (!appsrc)
        return nullptr;
    auto *feed = new GstSongSoundFeed(appsrc, part);
    if (!feed->m_reader.isOpen()) {
        *problem = feed->m_reader.problem();
        delete feed;
        discard(appsrc);
        return nullptr;
    }
    g_object_set(appsrc, "format", GST_FORMAT_BYTES, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE, "size",
                 gint64(feed->m_reader.size()), nullptr);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &GstSongSoundFeed::onNeedData;
    callbacks.seek_data = &GstSongSoundFeed::onSeekData;
    gst_app_src_set_callbacks(appsrc, &callbacks, feed, &GstSongSoundFeed::destroy);
    return GST_ELEMENT(appsrc);
}

void GstSongSoundFeed::onNeedData(GstAppSrc *, guint, gpointer self)
{
    auto *feed = static_cast<GstSongSoundFeed *>(self);
    const std::size_t size = kSoundChunk;
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, size, nullptr);
    GstMapInfo map;
    std::size_t got = 0;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        got = feed->m_reader.read(map.data, size);
        gst_buffer_unmap(buffer, &map);
    }
    if (got == 0) {
        gst_buffer_unref(buffer);
        if (!feed->m_reader.problem().isEmpty())
            GST_ELEMENT_ERROR(feed->m_appsrc, RESOURCE, READ, ("%s", feed->m_reader.problem().toUtf8().constData()),
                              (nullptr));
        gst_app_src_end_of_stream(feed->m_appsrc);
        return;
    }
    gst_buffer_set_size(buffer, gssize(got));
    GST_BUFFER_OFFSET(buffer) = feed->m_offset;
    feed->m_offset += got;
    GST_BUFFER_OFFSET_END(buffer) = feed->m_offset;
    gst_app_src_push_buffer(feed->m_appsrc, buffer);
}

gboolean GstSongSoundFeed::onSeekData(GstAppSrc *, guint64 offset, gpointer self)
{
    auto *feed = static_cast<GstSongSoundFeed *>(self);
    if (!feed->m_reader.seek(offset))
        return FALSE;
    feed->m_offset = offset;
    return TRUE;
}

void GstSongSoundFeed::destroy(gpointer self)
{
    delete static_cast<GstSongSoundFeed *>(self);
}
