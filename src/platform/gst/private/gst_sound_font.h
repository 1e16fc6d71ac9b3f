#pragma once

#include <gst/gst.h>

// MIDI songs are rendered with the General MIDI sound font of the Debian package
// fluid-soundfont-gm, by the player and the loudness meter alike.
namespace GstSoundFont {
// Gives element the sound font when it is the MIDI synthesizer; any other element is left alone.
void applyTo(GstElement *element);
}
