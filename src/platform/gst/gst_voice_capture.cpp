#include "platform/gst/gst_voice_capture.h"

#include "gst_bus_errors.h"
#include "gst_element_check.h"
#include "gst_sound_branches.h"
#include "platform/gst/gst_runtime.h"

#include <gst/app/gstappsink.h>

namespace {

GstFlowReturn onSample(GstAppSink *sink, gpointer data)
{
    return GstSoundBranches::pullFloatSamples(sink, *static_cast<VoiceCapture::Listener *>(data));
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
        QString reason = GstBusErrors::takeFirst(pipeline);
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
    const QString problem = GstBusErrors::takeFirst(m_d->pipeline);
    // Going to NULL joins the streaming thread, so the listener is not called after this.
    gst_element_set_state(m_d->pipeline, GST_STATE_NULL);
    gst_object_unref(m_d->pipeline);
    m_d->pipeline = nullptr;
    return problem;
}
