#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// Play states, numbered as the jukebox has always numbered them.
namespace PlayState {
constexpr int Undefined = 0;     // nothing open, or closed
constexpr int Stopped = 1;
constexpr int Paused = 2;
constexpr int Playing = 3;
constexpr int MediaEnded = 8;
constexpr int Transitioning = 9; // opening, before playing
constexpr int Ready = 10;        // a URL is set, not started
}

// One media player: plays a file given as "file://" + path (the path is not URL-encoded),
// shows its video in videoWidget() and reports what happens through signals that are
// delivered on the user-interface thread.
class MediaPlayer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~MediaPlayer() override = default;

    virtual void setUrl(const QString &url) = 0;
    virtual QString url() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void close() = 0;

    virtual int playState() const = 0;
    // Position in the current item as "mm:ss"; empty when nothing is open.
    virtual QString positionText() const = 0;

    virtual int volume() const = 0;          // 0 ... 100
    virtual void setVolume(int volume) = 0;

    // Audio tracks of the current item, numbered from 1.
    virtual int audioTrackCount() const = 0;
    virtual int currentAudioTrack() const = 0;
    virtual void setCurrentAudioTrack(int track) = 0;

    // The widget that shows the video; it reports clicks and key presses through the signals.
    virtual QWidget *videoWidget() = 0;

signals:
    void playStateChanged(int newState);
    void error(const QString &description);
    void endOfStream();
    void clicked();
    void keyPressed(int keyCode);
};

// Makes the media players of the windows (the player, the menu, the preview window).
class MediaPlayerFactory
{
public:
    virtual ~MediaPlayerFactory() = default;
    virtual std::unique_ptr<MediaPlayer> create() = 0;
};
