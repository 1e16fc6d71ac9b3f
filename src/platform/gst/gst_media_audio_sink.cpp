#include "gst_media_audio_sink.h"

namespace {
const QString kDefaultSink = QStringLiteral("autoaudiosink");

// audiochannelmix works on stereo S16, pitch on F32: each stage gets its own converter.
QString stages()
{
    return QStringLiteral("audioconvert ! audioresample ! audiochannelmix name=%1 ! audioconvert"
                          " ! pitch name=%2 ! audioconvert ! audioresample ! ")
        .arg(QLatin1String(GstMediaAudioSink::kChannelMixName),
             QLatin1String(GstMediaAudioSink::kPitchName));
}
}

GstElement *GstMediaAudioSink::create(const QString &sinkDescription, QString *error)
{
    const QString sink = sinkDescription.isEmpty() ? kDefaultSink : sinkDescription;
    const QByteArray description = (stages() + sink).toUtf8();
    GError *parseError = nullptr;
    GstElement *bin = gst_parse_bin_from_description(description.constData(), TRUE, &parseError);
    if (parseError) {
        *error = QString::fromUtf8(parseError->message);
        g_error_free(parseError);
        if (bin)
            gst_object_unref(bin);
        return nullptr;
    }
    gst_object_set_name(GST_OBJECT(bin), "karaoke-audio");
    return bin;
}
