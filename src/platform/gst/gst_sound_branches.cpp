#include "gst_sound_branches.h"

#include <QFile>

#include <gst/app/gstappsink.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace GstSoundBranches {

namespace {

// decodebin's answer to autoplug-select that exposes the pad as it is (its enum is not installed).
constexpr int kAutoplugExpose = 1;

struct Delivery
{
    StereoFrames deliver;
    void *track;
};

GstFlowReturn onSample(GstAppSink *sink, gpointer data)
{
    const auto *delivery = static_cast<const Delivery *>(data);
    return pullFloatSamples(sink, [delivery](const float *samples, size_t count, int rate) {
        delivery->deliver(delivery->track, samples, count / 2, rate);
    });
}

} // namespace

GstFlowReturn pullFloatSamples(GstAppSink *sink, const std::function<void(const float *, size_t, int)> &use)
{
    GstSample *sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    int rate = 0;
    gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "rate", &rate);
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (rate > 0 && buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        use(reinterpret_cast<const float *>(map.data), map.size / sizeof(float), rate);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

int padOrder(GstPad *pad)
{
    gchar *name = gst_pad_get_name(pad);
    const char *digits = name ? std::strpbrk(name, "0123456789") : nullptr;
    const int order = digits ? std::atoi(digits) : 0;
    g_free(name);
    return order;
}

bool isSoundPad(GstPad *pad)
{
    GstCaps *caps = gst_pad_get_current_caps(pad);
    const bool sound = caps && g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/x-raw");
    if (caps)
        gst_caps_unref(caps);
    return sound;
}

// Sound as stereo floats, mixed to stereo as the player mixes it.
GstElement *stereoFloatBranch(StereoFrames deliver, void *track)
{
    GstElement *branch = gst_parse_bin_from_description(
        "audioconvert ! audio/x-raw,format=F32LE,channels=2,layout=interleaved ! appsink name=frames sync=false",
        TRUE, nullptr);
    if (!branch)
        return nullptr;
    GstElement *sink = gst_bin_get_by_name(GST_BIN(branch), "frames");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, new Delivery{deliver, track},
                               [](gpointer data) { delete static_cast<Delivery *>(data); });
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

void link(GstElement *pipeline, GstPad *pad, GstElement *branch)
{
    if (!branch)
        return;
    gst_bin_add(GST_BIN(pipeline), branch);
    gst_element_sync_state_with_parent(branch);
    GstPad *sinkPad = gst_element_get_static_pad(branch, "sink");
    gst_pad_link(pad, sinkPad);
    gst_object_unref(sinkPad);
}

int skipPictureDecoders(GstElement *, GstPad *, GstCaps *, GstElementFactory *factory, gpointer)
{
    const gchar *klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    const bool pictureDecoder = klass && std::strstr(klass, "Decoder") && std::strstr(klass, "Video");
    return pictureDecoder ? kAutoplugExpose : 0;
}

bool isRegularFile(const QString &path)
{
    struct stat status{};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace GstSoundBranches
