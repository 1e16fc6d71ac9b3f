#include "gst_media_video_sink.h"

#include <QGuiApplication>

namespace {

bool hasOverlaySink()
{
    for (const char *name : {"xvimagesink", "ximagesink", "glimagesink"}) {
        GstElementFactory *factory = gst_element_factory_find(name);
        if (factory) {
            gst_object_unref(factory);
            return true;
        }
    }
    return false;
}

}

GstMediaVideoSink::Kind GstMediaVideoSink::choose(const QString &option)
{
    if (option == QLatin1String(kWidgetOption))
        return Kind::Frames;
    if (!option.isEmpty())
        return Kind::Described;
    if (headless())
        return Kind::Fake;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && hasOverlaySink())
        return Kind::Overlay;
    return Kind::Frames;
}

bool GstMediaVideoSink::headless()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

GstElement *GstMediaVideoSink::fromDescription(const QString &description, QString *error)
{
    GError *parseError = nullptr;
    GstElement *sink = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE,
                                                      &parseError);
    if (!parseError)
        return sink;
    *error = QString::fromUtf8(parseError->message);
    g_error_free(parseError);
    if (sink)
        gst_object_unref(sink);
    return nullptr;
}

GstElement *GstMediaVideoSink::overlaySink()
{
    for (const char *name : {"xvimagesink", "ximagesink", "glimagesink"}) {
        GstElement *sink = gst_element_factory_make(name, nullptr);
        if (!sink)
            continue;
        // A sink that cannot open the display (xvimagesink on a server without XVideo, as
        // in virtual machines) fails here instead of failing every song later.
        const bool usable = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(sink, GST_STATE_NULL);
        if (!usable) {
            gst_object_unref(sink);
            continue;
        }
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "force-aspect-ratio"))
            g_object_set(sink, "force-aspect-ratio", TRUE, nullptr);
        return sink;
    }
    return nullptr;
}

GstElement *GstMediaVideoSink::fakeSink()
{
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}
