#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// Play states, numbered as the jukebox has always numbered them.
enum class PlayState {
    Undefined = 0, // nothing open, or closed
    Stopped = 1,
    Paused = 2,
    Playing = 3,
    MediaEnded = 8,
    Transitioning = 9, // opening, before playing
    Ready = 10,        // a URL is set, not started
};

// The side of a stereo sound track that both speakers play; Both plays the track as it is.
// Karaoke files often carry the accompaniment on one side and the guide vocal on the other.
enum class StereoSide { Both, Left, Right };

// A song's own gain on top of the guest's volume, so that every song plays as loud as the last.
// It never lifts the song's true peak above kCeilingDb, so nothing clips and nothing needs a
// limiter that would bend the sound.
struct SongGain
{
    static constexpr double kCeilingDb = -1.0; // dBTP

    double decibels = 0;

    bool operator==(const SongGain &) const = default;
};

// One media player: plays a file given as "file://" + path (the path is not URL-encoded),
// shows its video in videoWidget() and reports what happens through signals that are
// delivered on the user-interface thread. Clicks and keys on the video reach the window
// that holds videoWidget(), as they would on any child widget.
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

    virtual PlayState playState() const = 0;
    // Position in the current item as "mm:ss"; empty when nothing is open.
    virtual QString positionText() const = 0;
    // Position and length of the current item in milliseconds; 0 and -1 when not known.
    virtual qint64 positionMs() const { return 0; }
    virtual qint64 durationMs() const { return -1; }

    virtual int volume() const = 0;          // 0 ... 100
    virtual void setVolume(int volume) = 0;

    // Audio tracks of the current item, numbered from 1.
    virtual int audioTrackCount() const = 0;
    virtual int currentAudioTrack() const = 0;
    virtual void setCurrentAudioTrack(int track) = 0;

    // Both take effect at once on what is playing, without a seek or a gap, and hold for the
    // songs that follow until changed.
    virtual void setStereoSide(StereoSide side) = 0;
    virtual StereoSide stereoSide() const = 0;
    // The key in semitones from the original, the tempo kept.
    virtual void setKey(int semitones) = 0;
    virtual int key() const = 0;
    // Heard at once on what is playing, without a gap; holds until changed.
    virtual void setSongGain(const SongGain &gain) = 0;
    virtual SongGain songGain() const = 0;

    // The widget that shows the video.
    virtual QWidget *videoWidget() = 0;

    // What the media engine of this machine lacks, as a message for the owner that names the
    // Debian package to install; empty when nothing is missing.
    virtual QString missingParts() const { return {}; }
    // False when the engine lacks what every song needs, so that nothing can play at all.
    virtual bool canPlay() const { return true; }

signals:
    void playStateChanged(PlayState newState);
    void error(const QString &description);
    void endOfStream();
};

// Makes the media players of the windows (the player, the menu, the preview window).
class MediaPlayerFactory
{
public:
    virtual ~MediaPlayerFactory() = default;
    virtual std::unique_ptr<MediaPlayer> create() = 0;
};
