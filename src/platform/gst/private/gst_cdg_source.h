#pragma once

#include <QSize>
#include <QString>

#include <gst/gst.h>

// The source element that plays a CD+G song inside playbin (or any uridecodebin): it offers
// the pictures as raw video and the MP3 as bytes for decodebin, both timed from the song's
// start, so one pipeline clock keeps them together. The pictures end where the decoded sound
// ends, so a .cdg longer than its MP3 does not hold the song. Its URIs are made by uriFor().
namespace GstCdgSource {

// The URI that plays the song file at path with its pictures; empty when the file is not a
// CD+G song (see findCdgSong). Makes the element known to GStreamer on first use.
QString uriFor(const QString &path);

bool isCdgSource(GstElement *element);

// Frames take the shape of the display they are shown on; with fillDisplay they are drawn at
// its size, for a video sink that does not scale. Set before the source starts.
void setDisplay(GstElement *source, QSize size, bool fillDisplay);
// Without pictures only the sound is offered (for measuring it). Set before the source starts.
void setPicturesWanted(GstElement *source, bool wanted);

} // namespace GstCdgSource
