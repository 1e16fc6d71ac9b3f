#include "gst_media_audio_sink.h"

#include "gst_element_check.h"
#include "platform/media_player.h"

#include <cmath>

namespace {
const QString kDefaultSink = QStringLiteral("autoaudiosink");

bool installed(const char *element)
{
    return GstElementCheck::missing({element}).isEmpty();
}

// The song's gain comes after the channel mix, so a new channel and its gain are heard
// together. The limiter (on float samples) softens what the gain would push past full scale,
// and the last stage lowers that to the ceiling. No stage has a "volume" property: playbin
// would take it for the guest's volume.
QString gainStages()
{
    if (!installed("audioamplify"))
        return {};
    QString path = QStringLiteral("audioamplify name=%1 clipping-method=none ! ")
                       .arg(QLatin1String(GstMediaAudioSink::kSongGainName));
    if (installed("rglimiter"))
        path += QStringLiteral("rglimiter name=%1 enabled=false ! audioamplify amplification=%2 ! audioconvert ! ")
                    .arg(QLatin1String(GstMediaAudioSink::kLimiterName))
                    .arg(GstMediaAudioSink::kCeilingLinear, 0, 'f', 6);
    return path;
}

// pitch works on F32, audiochannelmix on stereo S16: each stage gets its own converter. The
// channel mix comes last, so a change of side is not held up by the samples the pitch stage
// keeps back. A stage this machine lacks is left out, so songs still play (the owner is told
// what to install).
QString stages()
{
    QString path = QStringLiteral("audioconvert ! audioresample ! ");
    if (installed("pitch"))
        path += QStringLiteral("pitch name=%1 ! audioconvert ! audioresample ! ").arg(QLatin1String(GstMediaAudioSink::kPitchName));
    // The pitch stage hands on 65 ms at a time; in 10 ms pieces the stages after it and the sink
    // hold less sound ahead of what is heard, so a new channel or key is heard sooner.
    if (installed("audiobuffersplit"))
        path += QStringLiteral("audiobuffersplit output-buffer-duration=1/100 ! ");
    if (installed("audiochannelmix"))
        path += QStringLiteral("audiochannelmix name=%1 ! audioconvert ! ").arg(QLatin1String(GstMediaAudioSink::kChannelMixName));
    return path + gainStages();
}
}

const double GstMediaAudioSink::kCeilingLinear = std::pow(10.0, SongGain::kCeilingDb / 20);

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
