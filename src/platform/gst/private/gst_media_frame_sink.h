#pragma once

#include <QImage>

#include <gst/gst.h>

#include <functional>

// A video sink that hands every decoded frame over as an image, for windows where no overlay
// sink can draw. onFrame runs on a streaming thread.
class GstMediaFrameSink
{
public:
    using FrameHandler = std::function<void(const QImage &frame)>;

    // Returns a floating bin, or nullptr when the elements are missing.
    static GstElement *create(FrameHandler onFrame);
};
