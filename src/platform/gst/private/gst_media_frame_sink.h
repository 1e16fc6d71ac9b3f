#pragma once

#include <QImage>

#include <gst/gst.h>

#include <functional>

// A video sink that hands every decoded frame over as an image, for windows where no overlay
// sink can draw. onFrame runs on a streaming thread, told the frame's time in the stream.
class GstMediaFrameSink
{
public:
    using FrameHandler = std::function<void(const QImage &frame, qint64 streamTimeNs)>;

    // Returns a floating bin, or nullptr when the elements are missing.
    static GstElement *create(FrameHandler onFrame);
};
