#include "platform/gst/gst_song_sound_reader.h"

#include "gst_bus_errors.h"
#include "gst_own_task_pool.h"
#include "gst_sound_branches.h"
#include "gst_sound_font.h"
#include "platform/gst/gst_runtime.h"

#include <QFile>

#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr GstClockTime kStopPoll = 10 * GST_MSECOND;

struct Reading;

struct Track
{
    int order = 0;
    Reading *reading = nullptr;
};

struct Reading
{
    GstElement *pipeline = nullptr;
    GstTaskPool *threads = nullptr;
    const SongSoundReader::Frames *frames = nullptr;
    std::mutex mutex;
    std::vector<std::unique_ptr<Track>> tracks;

    // The player numbers tracks in the order of their pads, from 0. decodebin exposes every
    // pad of the file before any sound flows, so the rank is known by the first sample.
    int indexOf(const Track &track)
    {
        std::lock_guard lock(mutex);
        int index = 0;
        for (const auto &other : tracks)
            index += other->order < track.order ? 1 : 0;
        return index;
    }
};

void onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *reading = static_cast<Reading *>(data);
    GstElement *branch = nullptr;
    if (GstSoundBranches::isSoundPad(pad)) {
        std::lock_guard lock(reading->mutex);
        reading->tracks.push_back(std::make_unique<Track>(Track{GstSoundBranches::padOrder(pad), reading}));
        branch = GstSoundBranches::stereoFloatBranch(
            [](void *owner, const float *frames, size_t count, int rate) {
                auto *track = static_cast<Track *>(owner);
                (*track->reading->frames)(track->reading->indexOf(*track), frames, count, rate);
            },
            reading->tracks.back().get());
    } else {
        branch = GstSoundBranches::discardBranch();
    }
    GstSoundBranches::link(reading->pipeline, pad, branch);
}

void onDeepElementAdded(GstBin *, GstBin *, GstElement *element, gpointer)
{
    GstSoundFont::applyTo(element);
}

GstBusSyncReply onSyncMessage(GstBus *, GstMessage *message, gpointer data)
{
    GstOwnTaskPool::adopt(message, static_cast<Reading *>(data)->threads);
    return GST_BUS_PASS;
}

SongSoundReader::Result awaitEnd(GstElement *pipeline, const std::atomic<bool> &stop)
{
    GstBus *bus = gst_element_get_bus(pipeline);
    SongSoundReader::Result result;
    while (!stop) {
        GstMessage *message = gst_bus_timed_pop_filtered(bus, kStopPoll, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!message)
            continue;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            result.outcome = SongSoundReader::Outcome::Read;
        } else {
            result = {SongSoundReader::Outcome::Unreadable, 0, GstBusErrors::textOf(message)};
        }
        gst_message_unref(message);
        break;
    }
    gst_object_unref(bus);
    return result;
}

GstElement *decoderFor(const QString &path, Reading &reading)
{
    GstElement *decode = gst_element_factory_make("uridecodebin", nullptr);
    gchar *uri = decode ? gst_filename_to_uri(QFile::encodeName(path).constData(), nullptr) : nullptr;
    if (!uri) {
        if (decode)
            gst_object_unref(decode);
        return nullptr;
    }
    g_object_set(decode, "uri", uri, nullptr);
    g_free(uri);
    g_signal_connect(decode, "pad-added", G_CALLBACK(onPadAdded), &reading);
    g_signal_connect(decode, "autoplug-select", G_CALLBACK(GstSoundBranches::skipPictureDecoders), nullptr);
    return decode;
}

} // namespace

GstSongSoundReader::GstSongSoundReader()
{
    GstRuntime::ensureInitialized();
}

SongSoundReader::Result GstSongSoundReader::read(const QString &path, const Frames &frames, const std::atomic<bool> &stop)
{
    if (!GstSoundBranches::isRegularFile(path))
        return {Outcome::Unreadable, 0, QStringLiteral("not a regular file")};
    Reading reading;
    reading.frames = &frames;
    GstElement *decode = decoderFor(path, reading);
    if (!decode)
        return {Outcome::Unreadable, 0, QStringLiteral("uridecodebin is missing")};
    reading.threads = GstOwnTaskPool::create(true);
    reading.pipeline = gst_pipeline_new(nullptr);
    gst_bin_add(GST_BIN(reading.pipeline), decode);
    g_signal_connect(reading.pipeline, "deep-element-added", G_CALLBACK(onDeepElementAdded), nullptr);
    GstBus *bus = gst_element_get_bus(reading.pipeline);
    gst_bus_set_sync_handler(bus, onSyncMessage, &reading, nullptr);
    gst_object_unref(bus);

    gst_element_set_state(reading.pipeline, GST_STATE_PLAYING);
    Result result = awaitEnd(reading.pipeline, stop);
    gst_element_set_state(reading.pipeline, GST_STATE_NULL);
    gst_object_unref(reading.pipeline);
    gst_object_unref(reading.threads);
    result.trackCount = int(reading.tracks.size());
    return result;
}
