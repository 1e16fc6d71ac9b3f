#include "gst_sound_font.h"

#include <QFile>

namespace {
const char kSoundFont[] = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
}

void GstSoundFont::applyTo(GstElement *element)
{
    GstElementFactory *factory = gst_element_get_factory(element);
    if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") != 0)
        return;
    if (QFile::exists(QString::fromLatin1(kSoundFont)))
        g_object_set(element, "soundfont", kSoundFont, nullptr);
}
