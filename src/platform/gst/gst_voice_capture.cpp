#include "platform/gst/gst_voice_capture.h"

#include "gst_element_check.h"
#include "platform/gst/gst_runtime.h"

#include <gst/app/gstappsink.h>

namespace {

QString errorOf(GstMessage *message)
{
    GError *error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    return text;
}

// The first error the capture posted, if any; never waits.
QString popError(GstElement *pipeline)
{
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (!message)
        return {};
    const QString text = errorOf(message);
    gst_message_unref(message);
    return text;
}

GstFlowReturn onSample(GstAppSink *sink, gpointer data)
{
    const auto &listener = *static_cast<VoiceCapture::Listener *>(data);
    GstSample *sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    int rate = 0;
    gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "rate", &rate);
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (rate > 0 && buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        listener(reinterpret_cast<const float *>(map.data), map.size / sizeof(float), rate);
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

} // namespace

struct GstVoiceCapture::Private
{
    QString source;
    Listener listener;
    GstElement *pipeline = nullptr;
};

GstVoiceCapture::GstVoiceCapture(const QString &captureSource)
    : m_d(std::make_unique<Private>())
{
    GstRuntime::ensureInitialized();
    m_d->source = captureSource;
}

GstVoiceCapture::~GstVoiceCapture()
{
    stop();
}

QString GstVoiceCapture::start(Listener listener)
{
    stop();
    m_d->listener = std::move(listener);
    const QString description = m_d->source
        + QStringLiteral(" ! audioconvert ! audio/x-raw,format=F32LE,channels=1,layout=interleaved"
                         " ! appsink name=voice sync=false max-buffers=50 drop=true");
    GError *parseError = nullptr;
    GstElement *pipeline = gst_parse_launch(description.toUtf8().constData(), &parseError);
    if (parseError || !pipeline) {
        const QString missing = GstElementCheck::missing({"audioconvert", "appsink"});
        const QString reason = missing.isEmpty() ? QString::fromUtf8(parseError ? parseError->message : "no pipeline") : missing;
        g_clear_error(&parseError);
        if (pipeline)
            gst_object_unref(pipeline);
        return reason;
    }
    GstElement *sink = gst_bin_get_by_name(GST_BIN(pipeline), "voice");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &m_d->listener, nullptr);
    gst_object_unref(sink);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        QString reason = popError(pipeline);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        return reason.isEmpty() ? QStringLiteral("the capture source does not start") : reason;
    }
    m_d->pipeline = pipeline;
    return {};
}

QString GstVoiceCapture::stop()
{
    if (!m_d->pipeline)
        return {};
    const QString problem = popError(m_d->pipeline);
    // Going to NULL joins the streaming thread, so the listener is not called after this.
    gst_element_set_state(m_d->pipeline, GST_STATE_NULL);
    gst_object_unref(m_d->pipeline);
    m_d->pipeline = nullptr;
    return problem;
}
