#include "gst_bus_errors.h"

namespace GstBusErrors {

QString textOf(GstMessage *error)
{
    GError *parsed = nullptr;
    gst_message_parse_error(error, &parsed, nullptr);
    const QString text = QString::fromUtf8(parsed ? parsed->message : "unknown error");
    g_clear_error(&parsed);
    return text;
}

QString takeFirst(GstElement *pipeline)
{
    GstBus *bus = gst_element_get_bus(pipeline);
    GstMessage *message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (!message)
        return {};
    const QString text = textOf(message);
    gst_message_unref(message);
    return text;
}

} // namespace GstBusErrors
