#include "gst_media_audio_sink.h"

#include "gst_element_check.h"

namespace {
const QString kDefaultSink = QStringLiteral("autoaudiosink");

bool installed(const char *element)
{
    return GstElementCheck::missing({element}).isEmpty();
}

// The song's gain works on floating-point samples right before the channel mix, the first stage
// in 16 bits: a loud song's peaks above full scale are lowered before anything clips them, and
// the two stages act on the same 10 ms of sound, so a new channel and its gain are heard
// together. It has no "volume" property: playbin would take it for the guest's volume.
QString gainStage()
{
    if (!installed("audioamplify"))
        return {};
    return QStringLiteral("audioconvert ! audio/x-raw,format=F32LE ! audioamplify name=%1 clipping-method=none ! ")
        .arg(QLatin1String(GstMediaAudioSink::kSongGainName));
}

// The sound stays in floating point up to the song's gain. pitch works on F32, audiochannelmix
// on stereo S16: each stage gets its own converter. The channel mix comes last, so a change of
// side is not held up by the samples the pitch stage keeps back. A stage this machine lacks is
// left out, so songs still play (the owner is told what to install).
QString stages()
{
    QString path = QStringLiteral("audioconvert ! audio/x-raw,format=F32LE ! audioresample ! ");
    if (installed("pitch"))
        path += QStringLiteral("pitch name=%1 ! audioconvert ! audioresample ! ").arg(QLatin1String(GstMediaAudioSink::kPitchName));
    // The pitch stage hands on 65 ms at a time; in 10 ms pieces the stages after it and the sink
    // hold less sound ahead of what is heard, so a new channel or key is heard sooner.
    if (installed("audiobuffersplit"))
        path += QStringLiteral("audiobuffersplit output-buffer-duration=1/100 ! ");
    path += gainStage();
    if (installed("audiochannelmix"))
        path += QStringLiteral("audioconvert ! audiochannelmix name=%1 ! ").arg(QLatin1String(GstMediaAudioSink::kChannelMixName));
    return path + QStringLiteral("audioconvert ! ");
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
