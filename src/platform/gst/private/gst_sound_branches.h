#pragma once

#include <QString>

#include <gst/gst.h>

#include <cstddef>

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
// A sink that throws a stream (pictures) away without waiting for it.
GstElement *discardBranch();
// Puts branch into pipeline, running, fed by pad.
void link(GstElement *pipeline, GstPad *pad, GstElement *branch);
// uridecodebin's autoplug-select: pictures are not decoded, their streams exposed as they are.
int skipPictureDecoders(GstElement *, GstPad *, GstCaps *, GstElementFactory *factory, gpointer);
// A pipe, a device or a folder named like a song could block a decoder's open for ever.
bool isRegularFile(const QString &path);

} // namespace GstSoundBranches
