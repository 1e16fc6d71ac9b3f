#pragma once

#include <QString>

#include <gst/gst.h>

// Picks the video sink for the platform the program runs on.
class GstMediaVideoSink
{
public:
    enum class Kind {
        Described, // a gst-launch description given by the caller (tests, benchmarks)
        Overlay,   // an X11 sink that draws into the video widget's window
        Frames,    // frames drawn by the video widget itself
        Fake,      // no screen: decode and drop, keeping time
    };

    // The option value that asks for frames drawn by the widget.
    static constexpr const char *kWidgetOption = "widget";

    static Kind choose(const QString &option);
    // No screen to show video on (no GUI application, or Qt's offscreen platform).
    static bool headless();
    // Parses a description into a floating element, or returns nullptr with *error set.
    static GstElement *fromDescription(const QString &description, QString *error);
    // The first overlay-capable X11 sink that is installed, or nullptr.
    static GstElement *overlaySink();
    static GstElement *fakeSink();
};
