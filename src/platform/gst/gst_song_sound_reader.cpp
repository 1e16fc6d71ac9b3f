#include "platform/gst/gst_song_sound_reader.h"

#include "gst_own_task_pool.h"
#include "gst_sound_font.h"
#include "platform/gst/gst_runtime.h"

#include <QFile>

#include <gst/app/gstappsink.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr GstClockTime kStopPoll = 10 * GST_MSECOND;
// decodebin's answer to autoplug-select that exposes the pad as it is (its enum is not installed).
constexpr int kAutoplugExpose = 1;

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

int padOrder(GstPad *pad)
{
    gchar *name = gst_pad_get_name(pad);
    const char *digits = name ? std::strpbrk(name, "0123456789") : nullptr;
    const int order = digits ? std::atoi(digits) : 0;
    g_free(name);
    return order;
}

GstFlowReturn onSample(GstAppSink *sink, gpointer data)
{
    auto *track = static_cast<Track *>(data);
    GstSample *sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    int rate = 0;
    gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "rate", &rate);
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (rate > 0 && buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        (*track->reading->frames)(track->reading->indexOf(*track), reinterpret_cast<const float *>(map.data), map.size / (2 * sizeof(float)), rate);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

GstElement *trackBranch(Track *track)
{
    GstElement *branch = gst_parse_bin_from_description(
        "audioconvert ! audio/x-raw,format=F32LE,channels=2,layout=interleaved ! appsink name=reader sync=false",
        TRUE, nullptr);
    if (!branch)
        return nullptr;
    GstElement *sink = gst_bin_get_by_name(GST_BIN(branch), "reader");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, track, nullptr);
    gst_object_unref(sink);
    return branch;
}

GstElement *discardBranch()
{
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    if (sink)
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    return sink;
}

void onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *reading = static_cast<Reading *>(data);
    GstCaps *caps = gst_pad_get_current_caps(pad);
    const bool sound = caps && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw");
    if (caps)
        gst_caps_unref(caps);
    GstElement *branch = nullptr;
    if (sound) {
        std::lock_guard lock(reading->mutex);
        reading->tracks.push_back(std::make_unique<Track>(Track{padOrder(pad), reading}));
        branch = trackBranch(reading->tracks.back().get());
    } else {
        branch = discardBranch();
    }
    if (!branch)
        return;
    gst_bin_add(GST_BIN(reading->pipeline), branch);
    gst_element_sync_state_with_parent(branch);
    GstPad *sinkPad = gst_element_get_static_pad(branch, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

int onAutoplugSelect(GstElement *, GstPad *, GstCaps *, GstElementFactory *factory, gpointer)
{
    const gchar *klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    const bool pictureDecoder = klass && std::strstr(klass, "Decoder") && std::strstr(klass, "Video");
    return pictureDecoder ? kAutoplugExpose : 0;
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

bool isRegularFile(const QString &path)
{
    struct stat status{};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
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
            GError *error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            result = {SongSoundReader::Outcome::Unreadable, 0, QString::fromUtf8(error ? error->message : "unknown error")};
            g_clear_error(&error);
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
    g_signal_connect(decode, "autoplug-select", G_CALLBACK(onAutoplugSelect), nullptr);
    return decode;
}

} // namespace

GstSongSoundReader::GstSongSoundReader()
{
    GstRuntime::ensureInitialized();
}

SongSoundReader::Result GstSongSoundReader::read(const QString &path, const Frames &frames, const std::atomic<bool> &stop)
{
    if (!isRegularFile(path))
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
