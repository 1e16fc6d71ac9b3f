#include "support/real_time_capture.h"

#include <QAtomicInt>

namespace {
const char kFormat[] = "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved";
QAtomicInt g_captures;
}

RealTimeCapture::RealTimeCapture(const QString &wavPath)
    : m_channel(QStringLiteral("capture%1").arg(g_captures.fetchAndAddRelaxed(1)))
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    const QString description = QStringLiteral("interaudiosrc channel=%1 ! %2 ! wavenc ! filesink location=\"%3\"")
                                    .arg(m_channel, QLatin1String(kFormat), wavPath);
    GError *error = nullptr;
    m_pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        g_error_free(error);
        if (m_pipeline)
            gst_object_unref(m_pipeline);
        m_pipeline = nullptr;
        return;
    }
    gst_element_set_state(m_pipeline, GST_STATE_PLAYING);
}

RealTimeCapture::~RealTimeCapture()
{
    finish();
}

QString RealTimeCapture::playerSink() const
{
    return QStringLiteral("audioresample ! %1 ! interaudiosink channel=%2 sync=true ts-offset=%3")
        .arg(QLatin1String(kFormat), m_channel)
        .arg(-qint64(kAheadMs) * GST_MSECOND);
}

bool RealTimeCapture::finish()
{
    if (!m_pipeline)
        return false;
    gst_element_send_event(m_pipeline, gst_event_new_eos());
    GstBus *bus = gst_element_get_bus(m_pipeline);
    GstMessage *end = gst_bus_timed_pop_filtered(bus, 5 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool finished = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
    return finished;
}
