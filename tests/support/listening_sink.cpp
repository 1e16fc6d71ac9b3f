#include "support/listening_sink.h"

#include <gst/base/gstbasesink.h>

#include <map>
#include <mutex>

namespace {

std::mutex g_mutex;
std::map<int, ListeningSink::Heard> g_records;
int g_nextRecord = 0;

struct KaraokeListener
{
    GstBaseSink parent;
    int record;
    GstClockTime lastEnd;
};

struct KaraokeListenerClass
{
    GstBaseSinkClass parentClass;
};

G_DEFINE_TYPE(KaraokeListener, karaoke_listener, GST_TYPE_BASE_SINK)

enum { kRecordProperty = 1 };

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS("audio/x-raw,format=S16LE,channels=2,layout=interleaved"));

void setProperty(GObject *object, guint id, const GValue *value, GParamSpec *spec)
{
    if (id == kRecordProperty)
        reinterpret_cast<KaraokeListener *>(object)->record = g_value_get_int(value);
    else
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

void getProperty(GObject *object, guint id, GValue *value, GParamSpec *spec)
{
    if (id == kRecordProperty)
        g_value_set_int(value, reinterpret_cast<KaraokeListener *>(object)->record);
    else
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
}

// Called once the piece is due (the sink syncs on the clock), or at once when it comes late.
GstFlowReturn render(GstBaseSink *sink, GstBuffer *buffer)
{
    auto *self = reinterpret_cast<KaraokeListener *>(sink);
    const GstClockTime start = GST_BUFFER_PTS(buffer);
    const GstClockTime end = start + GST_BUFFER_DURATION(buffer);
    GstClock *clock = gst_element_get_clock(GST_ELEMENT(sink));
    if (!clock)
        return GST_FLOW_OK;
    const GstClockTimeDiff now = GstClockTimeDiff(gst_clock_get_time(clock) - gst_element_get_base_time(GST_ELEMENT(sink)));
    gst_object_unref(clock);
    if (!GST_CLOCK_TIME_IS_VALID(start) || !GST_BUFFER_DURATION_IS_VALID(buffer))
        return GST_FLOW_OK;
    const GstClockTimeDiff due = GstClockTimeDiff(gst_segment_to_running_time(&sink->segment, GST_FORMAT_TIME, start));
    std::lock_guard lock(g_mutex);
    ListeningSink::Heard &heard = g_records[self->record];
    heard.seconds += double(end - start) / GST_SECOND;
    heard.latestMs = std::max(heard.latestMs, double(now - due) / GST_MSECOND);
    if (GST_CLOCK_TIME_IS_VALID(self->lastEnd) && start > self->lastEnd)
        heard.widestHoleMs = std::max(heard.widestHoleMs, double(start - self->lastEnd) / GST_MSECOND);
    self->lastEnd = end;
    return GST_FLOW_OK;
}

void karaoke_listener_class_init(KaraokeListenerClass *klass)
{
    GObjectClass *object = G_OBJECT_CLASS(klass);
    object->set_property = setProperty;
    object->get_property = getProperty;
    g_object_class_install_property(object, kRecordProperty,
                                    g_param_spec_int("record", "record", "where what is heard is kept", 0, G_MAXINT, 0,
                                                     GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
    GstElementClass *element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &sinkTemplate);
    gst_element_class_set_static_metadata(element, "Listener", "Sink/Audio", "Hears as a sound card would", "tests");
    GST_BASE_SINK_CLASS(klass)->render = render;
}

void karaoke_listener_init(KaraokeListener *self)
{
    self->record = 0;
    self->lastEnd = GST_CLOCK_TIME_NONE;
    gst_base_sink_set_sync(GST_BASE_SINK(self), TRUE);
}

} // namespace

ListeningSink::ListeningSink()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
        gst_element_register(nullptr, "karaokelistener", GST_RANK_NONE, karaoke_listener_get_type());
    });
    std::lock_guard lock(g_mutex);
    m_record = ++g_nextRecord;
    g_records[m_record] = {};
}

QString ListeningSink::playerSink() const
{
    return QStringLiteral("audioresample ! audio/x-raw,format=S16LE,channels=2 ! karaokelistener record=%1").arg(m_record);
}

ListeningSink::Heard ListeningSink::heard() const
{
    std::lock_guard lock(g_mutex);
    return g_records[m_record];
}
