#pragma once

#include "platform/media_player.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class GstMediaPipeline;
class GstMediaVideoWidget;
class QFileSystemWatcher;
class QImage;

// The media player on GStreamer playbin, reporting the jukebox's play-state numbers.
class GstMediaPlayer : public MediaPlayer
{
    Q_OBJECT

public:
    // Sink descriptions in gst-launch syntax ("fakesink sync=true"); empty picks the sinks of
    // the platform. videoSink "widget" draws the frames in videoWidget() without an overlay.
    // frameObserver is told every frame the "widget" sink draws and its time in the song (in
    // nanoseconds), on a streaming thread: for checks of what the pictures show when.
    struct Options {
        QString videoSink;
        QString audioSink;
        std::function<void(const QImage &frame, qint64 streamTimeNs)> frameObserver = {};
    };

    explicit GstMediaPlayer(QObject *parent = nullptr);
    explicit GstMediaPlayer(const Options &options, QObject *parent = nullptr);
    ~GstMediaPlayer() override;

    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    void play() override;
    void pause() override;
    void stop() override;
    void close() override;

    PlayState playState() const override { return m_state; }
    QString positionText() const override;
    qint64 positionMs() const override;
    qint64 durationMs() const override;

    int volume() const override { return m_volume; }
    void setVolume(int volume) override;

    int audioTrackCount() const override;
    int currentAudioTrack() const override;
    void setCurrentAudioTrack(int track) override;

    void setStereoSide(StereoSide side) override;
    StereoSide stereoSide() const override { return m_side; }
    void setKey(int semitones) override;
    int key() const override { return m_key; }
    void setSongGain(const SongGain &gain) override;
    SongGain songGain() const override { return m_gain; }

    // Null when the application has no widgets (a QCoreApplication).
    QWidget *videoWidget() override;

    QString missingParts() const override;
    bool canPlay() const override;

private:
    void setState(PlayState state);
    void onPlaying();
    void onPaused();
    void onEnded();
    void onFailed(const QString &description);
    void onFileChanged(const QString &path);
    void watchFile();
    void unwatchFile();

    QString m_url;
    PlayState m_state = PlayState::Undefined;
    int m_volume = 100;
    StereoSide m_side = StereoSide::Both;
    int m_key = 0;
    SongGain m_gain;
    // Bumped by every request, so a signal handler that starts the next song is noticed.
    unsigned m_requests = 0;
    QPointer<GstMediaVideoWidget> m_widget;
    std::unique_ptr<GstMediaPipeline> m_pipeline;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
};
