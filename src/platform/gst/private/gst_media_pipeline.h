#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <mutex>

class GstMediaVideoWidget;

// One playbin with the jukebox's sinks. What its bus reports arrives as Qt signals on the
// thread that owns this object; messages of a run that was stopped meanwhile are dropped.
class GstMediaPipeline : public QObject
{
    Q_OBJECT

public:
    // Empty sink descriptions pick the sinks for the platform; see GstMediaVideoSink.
    GstMediaPipeline(const QString &videoSink, const QString &audioSink,
                     GstMediaVideoWidget *widget, QObject *parent = nullptr);
    ~GstMediaPipeline() override;

    void setUri(const QString &uri);
    void play();
    void pause();
    // Releases the file and the decoders; the next play() starts from the beginning.
    void stop();

    // Told every frame the widget sink draws and its time in the song, on a streaming thread.
    using FrameObserver = std::function<void(const QImage &frame, qint64 streamTimeNs)>;
    void setFrameObserver(FrameObserver observer) { m_frameObserver = std::move(observer); }

    // False when playbin is not installed: nothing can play.
    bool canPlay() const { return m_playbin != nullptr; }
    // The elements the platform lacks and the Debian packages that bring them; empty when none.
    QString missingParts() const { return m_missingParts; }

    // Gains of the stereo mix: each output side takes its share of the left and right input.
    struct ChannelGains {
        double leftToLeft;
        double rightToLeft;
        double leftToRight;
        double rightToRight;
    };

    qint64 positionMs() const;
    qint64 durationMs() const; // -1 when not known
    void setVolume(double linear);
    // Both act on the stages of the audio path at once: no flush, no seek, no gap.
    void setChannelGains(const ChannelGains &gains);
    void setPitchFactor(double factor);
    // The song's gain, on floating-point samples.
    void setSongGain(double decibels);
    int audioStreamCount() const;
    int currentAudioStream() const;
    void setCurrentAudioStream(int index);

signals:
    void playing();
    void paused();
    void ended();
    void failed(const QString &description);

private:
    static GstBusSyncReply onBusMessage(GstBus *bus, GstMessage *message, gpointer self);
    static void onElementSetup(GstElement *playbin, GstElement *element, gpointer self);
    static void onSourceSetup(GstElement *playbin, GstElement *source, gpointer self);
    static void logNotice(GstMessage *message);
    void handleMessage(GstMessage *message);
    void handleStateChanged(GstMessage *message);
    void handleError(GstMessage *message);
    void handleEndOfStream();

    void setUpAudio(const QString &description);
    void setUpVideo(const QString &description);
    void noteDisplay();
    void bindWindow();
    void exposeWindow();
    void releaseWindow();
    void queueFrame(const QImage &frame, qint64 streamTimeNs);
    void showQueuedFrame();

    QString m_missingParts;
    GstElement *m_playbin = nullptr;
    GstElement *m_overlaySink = nullptr;
    GstElement *m_channelMix = nullptr; // null when the element is not installed
    GstElement *m_pitch = nullptr;
    GstElement *m_songGain = nullptr;
    QPointer<GstMediaVideoWidget> m_widget;
    GstState m_target = GST_STATE_NULL;
    // Bumped by every stop, so messages posted before it are recognised as stale.
    std::atomic<unsigned> m_run{0};

    // Where pictures drawn by the program (CD+G songs) are shown, read on a streaming thread.
    std::mutex m_displayMutex;
    QSize m_displaySize;
    bool m_sinkScales = true;

    FrameObserver m_frameObserver;
    std::mutex m_frameMutex;
    QImage m_queuedFrame;
    bool m_frameQueued = false;
};
