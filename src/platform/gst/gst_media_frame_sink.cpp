#include "gst_media_frame_sink.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

namespace {

QImage toImage(GstSample *sample)
{
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)))
        return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
        return {};
    const QImage view(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                      GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                      GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    QImage copy = view.copy();
    gst_video_frame_unmap(&frame);
    return copy;
}

GstFlowReturn onNewSample(GstAppSink *sink, gpointer data)
{
    GstSample *sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_EOS;
    const QImage image = toImage(sample);
    const GstClockTime time = gst_segment_to_stream_time(gst_sample_get_segment(sample), GST_FORMAT_TIME,
                                                         GST_BUFFER_PTS(gst_sample_get_buffer(sample)));
    gst_sample_unref(sample);
    if (!image.isNull())
        (*static_cast<GstMediaFrameSink::FrameHandler *>(data))(image, GST_CLOCK_TIME_IS_VALID(time) ? qint64(time) : -1);
    return GST_FLOW_OK;
}

void deleteHandler(gpointer data)
{
    delete static_cast<GstMediaFrameSink::FrameHandler *>(data);
}

}

GstElement *GstMediaFrameSink::create(FrameHandler onFrame)
{
    // BGRx in memory is what QImage calls RGB32 on a little-endian machine.
    GstElement *bin = gst_parse_bin_from_description(
        "videoconvert ! appsink name=frames caps=video/x-raw,format=BGRx max-buffers=2 drop=true",
        TRUE, nullptr);
    if (!bin)
        return nullptr;
    GstElement *appsink = gst_bin_get_by_name(GST_BIN(bin), "frames");
    GstAppSinkCallbacks callbacks = {};
    callbacks.new_sample = onNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink), &callbacks, new FrameHandler(std::move(onFrame)),
                               deleteHandler);
    gst_object_unref(appsink);
    return bin;
}
