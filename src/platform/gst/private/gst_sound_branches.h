#pragma once

#include <QString>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cstddef>
#include <functional>

// The pieces of a pipeline that decodes every sound track of a song file to stereo floats
// (the loudness meter, the reader of a song's guide vocal): uridecodebin's pads, the branch each
// sound pad feeds, and what is passed over.
namespace GstSoundBranches {

// Called on a track's streaming thread with its interleaved stereo frames.
using StereoFrames = void (*)(void *track, const float *frames, size_t count, int rate);

// The number in the pad's name: the order of the tracks as the player numbers them.
int padOrder(GstPad *pad);
bool isSoundPad(GstPad *pad);
// audioconvert to stereo floats into an appsink that hands each buffer to deliver(track, ...).
GstElement *stereoFloatBranch(StereoFrames deliver, void *track);
// Hands the float samples of the sink's next buffer to use (the samples, their number, the
// rate); what an appsink's new-sample callback returns.
GstFlowReturn pullFloatSamples(GstAppSink *sink, const std::function<void(const float *, size_t, int)> &use);
// A sink that throws a stream (pictures) away without waiting for it.
GstElement *discardBranch();
// Puts branch into pipeline, running, fed by pad.
void link(GstElement *pipeline, GstPad *pad, GstElement *branch);
// uridecodebin's autoplug-select: pictures are not decoded, their streams exposed as they are.
int skipPictureDecoders(GstElement *, GstPad *, GstCaps *, GstElementFactory *factory, gpointer);
// A pipe, a device or a folder named like a song could block a decoder's open for ever.
bool isRegularFile(const QString &path);

} // namespace GstSoundBranches
