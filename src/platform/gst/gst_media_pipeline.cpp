#include "gst_media_pipeline.h"

#include "gst_cdg_source.h"
#include "gst_element_check.h"
#include "gst_media_audio_sink.h"
#include "gst_sound_font.h"
#include "gst_media_frame_sink.h"
#include "gst_media_video_sink.h"
#include "gst_media_video_widget.h"
#include "platform/gst/gst_runtime.h"

#include <QtDebug>

#include <gst/pbutils/missing-plugins.h>
#include <gst/video/videooverlay.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kPlayFlagText = 1 << 2;

using MessagePtr = std::shared_ptr<GstMessage>;

}

GstMediaPipeline::GstMediaPipeline(const QString &videoSink, const QString &audioSink,
                                   GstMediaVideoWidget *widget, QObject *parent)
    : QObject(parent)
    , m_widget(widget)
{
    GstRuntime::ensureInitialized();
    m_missingParts = GstElementCheck::missing({"playbin", "audioconvert", "audioresample", "audiochannelmix", "pitch",
                                               "audiobuffersplit", "audioamplify", "fluiddec", "autoaudiosink"});
    if (!m_missingParts.isEmpty())
        qWarning("%s", qPrintable(m_missingParts));
    // Video CD tracks copied from the disc (RIFF/CDXA .dat) need no help: typefind calls them
    // video/x-cdxa and mpegpsdemux takes that, skipping the sector framing between packs.
    m_playbin = gst_element_factory_make("playbin", nullptr);
    if (!m_playbin)
        return; // nothing can play; canPlay() says so and every operation does nothing
    gst_object_ref_sink(m_playbin);

    // Songs carry no subtitles, and rendering them would need the text overlay plugin.
    int flags = 0;
    g_object_get(m_playbin, "flags", &flags, nullptr);
    g_object_set(m_playbin, "flags", flags & ~kPlayFlagText, nullptr);
    g_signal_connect(m_playbin, "element-setup", G_CALLBACK(onElementSetup), this);
    g_signal_connect(m_playbin, "source-setup", G_CALLBACK(onSourceSetup), this);

    setUpAudio(audioSink);
    setUpVideo(videoSink);

    GstBus *bus = gst_element_get_bus(m_playbin);
    gst_bus_set_sync_handler(bus, onBusMessage, this, nullptr);
    gst_object_unref(bus);
}

GstMediaPipeline::~GstMediaPipeline()
{
    if (!m_playbin)
        return;
    GstBus *bus = gst_element_get_bus(m_playbin);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_element_set_state(m_playbin, GST_STATE_NULL);
    g_signal_handlers_disconnect_by_data(m_playbin, this);
    for (GstElement *element : {m_overlaySink, m_channelMix, m_pitch, m_songGain}) {
        if (element)
            gst_object_unref(element);
    }
    gst_object_unref(m_playbin);
}

void GstMediaPipeline::setUpAudio(const QString &description)
{
    // Without a screen the program runs for tests or demos: sound is decoded, kept in time, dropped.
    const bool silent = description.isEmpty() && GstMediaVideoSink::headless();
    QString error;
    GstElement *sink = GstMediaAudioSink::create(silent ? QStringLiteral("fakesink sync=true") : description,
                                                 &error);
    if (!sink) {
        qWarning("audio path '%s' unusable: %s", qPrintable(description), qPrintable(error));
        return;
    }
    m_channelMix = gst_bin_get_by_name(GST_BIN(sink), GstMediaAudioSink::kChannelMixName);
    m_pitch = gst_bin_get_by_name(GST_BIN(sink), GstMediaAudioSink::kPitchName);
    m_songGain = gst_bin_get_by_name(GST_BIN(sink), GstMediaAudioSink::kSongGainName);
    setSongGain(0);
    g_object_set(m_playbin, "audio-sink", sink, nullptr);
}

void GstMediaPipeline::setUpVideo(const QString &description)
{
    GstElement *sink = nullptr;
    QString error;
    switch (GstMediaVideoSink::choose(description)) {
    case GstMediaVideoSink::Kind::Described:
        sink = GstMediaVideoSink::fromDescription(description, &error);
        if (!sink)
            qWarning("video sink '%s' unusable: %s", qPrintable(description), qPrintable(error));
        break;
    case GstMediaVideoSink::Kind::Overlay:
        sink = GstMediaVideoSink::overlaySink();
        break;
    case GstMediaVideoSink::Kind::Frames:
        sink = GstMediaFrameSink::create([this](const QImage &frame, qint64 time) { queueFrame(frame, time); });
        break;
    case GstMediaVideoSink::Kind::Fake:
        break;
    }
    if (!sink)
        sink = GstMediaVideoSink::fakeSink();
    // ximagesink shows a frame at its own size, however large the window.
    GstElementFactory *factory = gst_element_get_factory(sink);
    m_sinkScales = !factory || g_strcmp0(GST_OBJECT_NAME(factory), "ximagesink") != 0;
    if (GST_IS_VIDEO_OVERLAY(sink) && m_widget) {
        m_overlaySink = GST_ELEMENT(gst_object_ref(sink));
        gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink), FALSE);
        m_widget->setOverlayActive(true);
        connect(m_widget, &GstMediaVideoWidget::windowHandleChanged, this, &GstMediaPipeline::bindWindow);
        connect(m_widget, &GstMediaVideoWidget::exposed, this, &GstMediaPipeline::exposeWindow);
        connect(m_widget, &GstMediaVideoWidget::closing, this, &GstMediaPipeline::releaseWindow);
    }
    g_object_set(m_playbin, "video-sink", sink, nullptr);
}

void GstMediaPipeline::setUri(const QString &uri)
{
    stop();
    if (!m_playbin)
        return;
    g_object_set(m_playbin, "uri", uri.toUtf8().constData(), nullptr);
}

void GstMediaPipeline::play()
{
    m_target = GST_STATE_PLAYING;
    noteDisplay();
    bindWindow();
    const unsigned run = m_run;
    if (m_playbin && gst_element_set_state(m_playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
        return;
    // The error posted on the bus normally says why; this covers a refusal without one.
    QMetaObject::invokeMethod(this, [this, run] {
        if (run != m_run)
            return;
        stop();
        emit failed(tr("the media could not be opened"));
    }, Qt::QueuedConnection);
}

void GstMediaPipeline::pause()
{
    m_target = GST_STATE_PAUSED;
    if (m_playbin)
        gst_element_set_state(m_playbin, GST_STATE_PAUSED);
}

void GstMediaPipeline::stop()
{
    m_target = GST_STATE_NULL;
    if (m_playbin)
        gst_element_set_state(m_playbin, GST_STATE_NULL);
    ++m_run;
    if (m_widget)
        m_widget->clearFrame();
}

qint64 GstMediaPipeline::positionMs() const
{
    gint64 position = 0;
    if (!m_playbin || !gst_element_query_position(m_playbin, GST_FORMAT_TIME, &position))
        return 0;
    return position / GST_MSECOND;
}

qint64 GstMediaPipeline::durationMs() const
{
    gint64 duration = 0;
    if (!m_playbin || !gst_element_query_duration(m_playbin, GST_FORMAT_TIME, &duration) || duration < 0)
        return -1;
    return duration / GST_MSECOND;
}

void GstMediaPipeline::setVolume(double linear)
{
    if (m_playbin)
        g_object_set(m_playbin, "volume", linear, nullptr);
}

void GstMediaPipeline::setChannelGains(const ChannelGains &gains)
{
    if (!m_channelMix)
        return;
    g_object_set(m_channelMix, "left-to-left", gains.leftToLeft, "right-to-left", gains.rightToLeft,
                 "left-to-right", gains.leftToRight, "right-to-right", gains.rightToRight, nullptr);
}

void GstMediaPipeline::setPitchFactor(double factor)
{
    if (m_pitch)
        g_object_set(m_pitch, "pitch", gfloat(factor), nullptr);
}

void GstMediaPipeline::setSongGain(double decibels)
{
    if (m_songGain)
        g_object_set(m_songGain, "amplification", gfloat(std::pow(10.0, decibels / 20)), nullptr);
}

int GstMediaPipeline::audioStreamCount() const
{
    int count = 0;
    if (m_playbin)
        g_object_get(m_playbin, "n-audio", &count, nullptr);
    return count;
}

int GstMediaPipeline::currentAudioStream() const
{
    int index = -1;
    if (m_playbin)
        g_object_get(m_playbin, "current-audio", &index, nullptr);
    return index;
}

void GstMediaPipeline::setCurrentAudioStream(int index)
{
    if (!m_playbin)
        return;
    g_object_set(m_playbin, "current-audio", index, nullptr);
    if (m_target == GST_STATE_NULL)
        return;
    // About a second of the old track is already queued before the sink; flushing it from
    // where the song is makes the new track heard at once.
    gint64 position = 0;
    if (gst_element_query_position(m_playbin, GST_FORMAT_TIME, &position))
        gst_element_seek_simple(m_playbin, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), position);
}

// Runs on the thread that posted the message. A sync handler that drops a message owns it.
GstBusSyncReply GstMediaPipeline::onBusMessage(GstBus *, GstMessage *message, gpointer self)
{
    auto *pipeline = static_cast<GstMediaPipeline *>(self);
    MessagePtr owned(message, gst_message_unref);
    const bool fromPlaybin = GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline->m_playbin);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        break;
    case GST_MESSAGE_WARNING:
    case GST_MESSAGE_ELEMENT:
        logNotice(message);
        return GST_BUS_DROP;
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_STATE_CHANGED:
        if (fromPlaybin)
            break;
        return GST_BUS_DROP;
    default:
        return GST_BUS_DROP;
    }
    const unsigned run = pipeline->m_run;
    QMetaObject::invokeMethod(pipeline, [pipeline, run, owned] {
        if (run == pipeline->m_run)
            pipeline->handleMessage(owned.get());
    }, Qt::QueuedConnection);
    return GST_BUS_DROP;
}

// Warnings and missing decoders do not stop a song, but the owner needs to know about them.
void GstMediaPipeline::logNotice(GstMessage *message)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING) {
        GError *error = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_warning(message, &error, &debug);
        qWarning("playback warning from %s: %s (%s)", GST_MESSAGE_SRC_NAME(message),
                 error ? error->message : "", debug ? debug : "");
        g_clear_error(&error);
        g_free(debug);
        return;
    }
    if (!gst_is_missing_plugin_message(message))
        return;
    gchar *description = gst_missing_plugin_message_get_description(message);
    gchar *detail = gst_missing_plugin_message_get_installer_detail(message);
    qWarning("missing GStreamer plug-in: %s (%s); install the Debian package that provides it "
             "(gstreamer1.0-plugins-good, -bad, -ugly or gstreamer1.0-libav)",
             description ? description : "unknown", detail ? detail : "");
    g_free(description);
    g_free(detail);
}

void GstMediaPipeline::onElementSetup(GstElement *, GstElement *element, gpointer)
{
    GstSoundFont::applyTo(element);
}

// Pictures the program draws itself take the shape of the window they are shown in.
void GstMediaPipeline::onSourceSetup(GstElement *, GstElement *source, gpointer self)
{
    auto *pipeline = static_cast<GstMediaPipeline *>(self);
    if (!GstCdgSource::isCdgSource(source))
        return;
    std::lock_guard lock(pipeline->m_displayMutex);
    GstCdgSource::setDisplay(source, pipeline->m_displaySize, !pipeline->m_sinkScales);
}

void GstMediaPipeline::noteDisplay()
{
    std::lock_guard lock(m_displayMutex);
    m_displaySize = m_widget ? m_widget->size() * m_widget->devicePixelRatio() : QSize();
}

void GstMediaPipeline::handleMessage(GstMessage *message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED:
        handleStateChanged(message);
        break;
    case GST_MESSAGE_ERROR:
        handleError(message);
        break;
    case GST_MESSAGE_EOS:
        handleEndOfStream();
        break;
    default:
        break;
    }
}

void GstMediaPipeline::handleStateChanged(GstMessage *message)
{
    GstState oldState, newState, pending;
    gst_message_parse_state_changed(message, &oldState, &newState, &pending);
    if (newState != m_target || pending != GST_STATE_VOID_PENDING)
        return;
    if (newState == GST_STATE_PLAYING)
        emit playing();
    else if (newState == GST_STATE_PAUSED)
        emit paused();
}

void GstMediaPipeline::handleError(GstMessage *message)
{
    GError *error = nullptr;
    gchar *debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    const QString description = QString::fromUtf8(error->message);
    qDebug("playback error: %s (%s)", error->message, debug ? debug : "");
    g_error_free(error);
    g_free(debug);
    stop();
    emit failed(description);
}

void GstMediaPipeline::handleEndOfStream()
{
    if (m_target != GST_STATE_PLAYING)
        return;
    stop();
    emit ended();
}

void GstMediaPipeline::bindWindow()
{
    if (!m_overlaySink || !m_widget)
        return;
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(m_overlaySink), m_widget->winId());
}

void GstMediaPipeline::exposeWindow()
{
    if (m_overlaySink && m_target != GST_STATE_NULL)
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(m_overlaySink));
}

void GstMediaPipeline::releaseWindow()
{
    m_widget = nullptr;
    stop();
    if (m_overlaySink)
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(m_overlaySink), 0);
}

void GstMediaPipeline::queueFrame(const QImage &frame, qint64 streamTimeNs)
{
    if (m_frameObserver)
        m_frameObserver(frame, streamTimeNs);
    {
        std::lock_guard lock(m_frameMutex);
        m_queuedFrame = frame;
        if (m_frameQueued)
            return;
        m_frameQueued = true;
    }
    QMetaObject::invokeMethod(this, &GstMediaPipeline::showQueuedFrame, Qt::QueuedConnection);
}

void GstMediaPipeline::showQueuedFrame()
{
    QImage frame;
    {
        std::lock_guard lock(m_frameMutex);
        frame = std::move(m_queuedFrame);
        m_queuedFrame = QImage();
        m_frameQueued = false;
    }
    if (m_widget && m_target != GST_STATE_NULL)
        m_widget->showFrame(frame);
}
