#pragma once

#include "platform/media_player.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

// Records what it is asked to do and reports the play states the test sets. It plays nothing:
// play() moves to "transitioning" and the test decides when the song really plays or ends.
class FakeMediaPlayer : public MediaPlayer
{
    Q_OBJECT

public:
    void setUrl(const QString &url) override
    {
        m_url = url;
        request(QStringLiteral("url ") + url, true, PlayState::Ready);
    }
    QString url() const override { return m_url; }
    void play() override
    {
        request(QStringLiteral("play"), !m_url.isEmpty(), PlayState::Transitioning);
        if (!m_url.isEmpty() && playsAtOnce)
            report(PlayState::Playing);
    }
    void pause() override { request(QStringLiteral("pause"), m_state == PlayState::Playing, PlayState::Paused); }
    void stop() override { request(QStringLiteral("stop"), m_state != PlayState::Undefined, PlayState::Stopped); }
    void close() override
    {
        m_url.clear();
        request(QStringLiteral("close"), true, PlayState::Undefined);
    }
    PlayState playState() const override { return m_state; }
    QString positionText() const override { return m_position; }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override { m_volume = qBound(0, volume, 100); }
    int audioTrackCount() const override { return m_tracks; }
    int currentAudioTrack() const override { return m_track; }
    void setCurrentAudioTrack(int track) override { m_track = track; }
    void setStereoSide(StereoSide side) override { m_side = side; }
    StereoSide stereoSide() const override { return m_side; }
    void setKey(int semitones) override { m_key = semitones; }
    int key() const override { return m_key; }
    void setSongGain(const SongGain &gain) override { m_gain = gain; }
    SongGain songGain() const override { return m_gain; }
    QWidget *videoWidget() override { return m_video.get(); }
    QString missingParts() const override { return missing; }
    bool canPlay() const override { return playable; }

    // Test controls.
    void report(PlayState state) // sets the state and emits playStateChanged
    {
        if (state == m_state)
            return;
        m_state = state;
        emit playStateChanged(state);
    }
    void finishSong() // end of stream: media ended, then stopped
    {
        report(PlayState::MediaEnded);
        report(PlayState::Stopped);
        emit endOfStream();
    }
    void fail(const QString &what) // error event
    {
        report(PlayState::Undefined);
        emit error(what);
    }
    void setPosition(const QString &text) { m_position = text; }
    void setTrackCount(int tracks) { m_tracks = tracks; }

    // "url file://...", "play", "pause", "stop", "close"
    QStringList requests;
    // When set, play() goes straight to "playing" as a quick local file would.
    bool playsAtOnce = true;
    // What the engine lacks, and whether it can play at all.
    QString missing;
    bool playable = true;

private:
    // Notes the request; when it applies, the player moves to the state it leads to.
    void request(const QString &what, bool applies, PlayState then)
    {
        requests.append(what);
        if (applies)
            report(then);
    }

    QString m_url;
    PlayState m_state = PlayState::Undefined;
    QString m_position;
    int m_volume = 50;
    int m_tracks = 1;
    int m_track = 1;
    StereoSide m_side = StereoSide::Both;
    int m_key = 0;
    SongGain m_gain;
    std::unique_ptr<QWidget> m_video = std::make_unique<QWidget>();
};

// Hands out fake players and keeps them so the test can reach each window's player.
class FakeMediaPlayerFactory : public MediaPlayerFactory
{
public:
    std::unique_ptr<MediaPlayer> create() override
    {
        auto player = std::make_unique<FakeMediaPlayer>();
        created.push_back(player.get());
        return player;
    }
    std::vector<FakeMediaPlayer *> created;
};
