#include "platform/gst/gst_media_player.h"

#include "gst_media_pipeline.h"
#include "gst_media_uri.h"
#include "gst_media_video_widget.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <cmath>

namespace {

// An octave either way; the pitch stage distorts audibly beyond that.
constexpr int kMaxKeyShift = 12;

QString mmss(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}

GstMediaPlayer::GstMediaPlayer(QObject *parent)
    : GstMediaPlayer(Options{}, parent)
{
}

GstMediaPlayer::GstMediaPlayer(const Options &options, QObject *parent)
    : MediaPlayer(parent)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        m_widget = new GstMediaVideoWidget;
    m_pipeline = std::make_unique<GstMediaPipeline>(options.videoSink, options.audioSink, m_widget);
    m_pipeline->setFrameObserver(options.frameObserver);
    connect(m_pipeline.get(), &GstMediaPipeline::playing, this, &GstMediaPlayer::onPlaying);
    connect(m_pipeline.get(), &GstMediaPipeline::paused, this, &GstMediaPlayer::onPaused);
    connect(m_pipeline.get(), &GstMediaPipeline::ended, this, &GstMediaPlayer::onEnded);
    connect(m_pipeline.get(), &GstMediaPipeline::failed, this, &GstMediaPlayer::onFailed);
    m_pipeline->setVolume(m_volume / 100.0);
}

GstMediaPlayer::~GstMediaPlayer()
{
    m_pipeline.reset();
    // A widget placed in a window belongs to that window; one never placed is ours.
    if (m_widget && !m_widget->parent())
        delete m_widget;
}

void GstMediaPlayer::setUrl(const QString &url)
{
    ++m_requests;
    unwatchFile();
    m_url = url;
    if (url.isEmpty()) {
        close();
        return;
    }
    m_pipeline->setUri(GstMediaUri::fromUrl(url));
    setState(PlayState::Ready);
}

void GstMediaPlayer::play()
{
    ++m_requests;
    switch (m_state) {
    case PlayState::Undefined:
    case PlayState::Playing:
    case PlayState::Transitioning:
        return;
    case PlayState::Paused:
        m_pipeline->play();
        return;
    default:
        break;
    }
    setState(PlayState::Transitioning);
    watchFile();
    m_pipeline->play();
}

void GstMediaPlayer::pause()
{
    ++m_requests;
    if (m_state == PlayState::Playing || m_state == PlayState::Transitioning)
        m_pipeline->pause();
}

void GstMediaPlayer::stop()
{
    ++m_requests;
    if (m_state == PlayState::Undefined)
        return;
    unwatchFile();
    m_pipeline->stop();
    setState(PlayState::Stopped);
}

void GstMediaPlayer::close()
{
    ++m_requests;
    unwatchFile();
    m_pipeline->stop();
    m_url.clear();
    setState(PlayState::Undefined);
}

QString GstMediaPlayer::positionText() const
{
    if (m_state == PlayState::Undefined)
        return {};
    return mmss(m_pipeline->positionMs());
}

qint64 GstMediaPlayer::positionMs() const
{
    return m_state == PlayState::Undefined ? 0 : m_pipeline->positionMs();
}

qint64 GstMediaPlayer::durationMs() const
{
    return m_state == PlayState::Undefined ? -1 : m_pipeline->durationMs();
}

void GstMediaPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, 100);
    m_pipeline->setVolume(m_volume / 100.0);
}

void GstMediaPlayer::setStereoSide(StereoSide side)
{
    // The player re-applies the chosen channel ten times a second.
    if (side == m_side)
        return;
    m_side = side;
    switch (side) {
    case StereoSide::Both:
        m_pipeline->setChannelGains({1, 0, 0, 1});
        break;
    case StereoSide::Left:
        m_pipeline->setChannelGains({1, 0, 1, 0});
        break;
    case StereoSide::Right:
        m_pipeline->setChannelGains({0, 1, 0, 1});
        break;
    }
}

void GstMediaPlayer::setKey(int semitones)
{
    semitones = qBound(-kMaxKeyShift, semitones, kMaxKeyShift);
    if (semitones == m_key)
        return;
    m_key = semitones;
    m_pipeline->setPitchFactor(std::exp2(m_key / 12.0));
}

void GstMediaPlayer::setSongGain(const SongGain &gain)
{
    m_gain = gain;
    m_pipeline->setSongGain(gain.decibels);
}

int GstMediaPlayer::audioTrackCount() const
{
    return m_state == PlayState::Undefined ? 0 : m_pipeline->audioStreamCount();
}

int GstMediaPlayer::currentAudioTrack() const
{
    if (audioTrackCount() == 0)
        return 0;
    return m_pipeline->currentAudioStream() + 1;
}

void GstMediaPlayer::setCurrentAudioTrack(int track)
{
    // The player re-applies the chosen channel ten times a second; only a change may seek.
    if (track < 1 || track > audioTrackCount() || track == currentAudioTrack())
        return;
    m_pipeline->setCurrentAudioStream(track - 1);
}

QWidget *GstMediaPlayer::videoWidget()
{
    return m_widget;
}

QString GstMediaPlayer::missingParts() const
{
    return m_pipeline->missingParts();
}

bool GstMediaPlayer::canPlay() const
{
    return m_pipeline->canPlay();
}

void GstMediaPlayer::setState(PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit playStateChanged(state);
}

void GstMediaPlayer::onPlaying()
{
    if (m_state == PlayState::Transitioning || m_state == PlayState::Paused)
        setState(PlayState::Playing);
}

void GstMediaPlayer::onPaused()
{
    if (m_state == PlayState::Transitioning || m_state == PlayState::Playing)
        setState(PlayState::Paused);
}

// The jukebox has always seen "media ended", then "stopped", unless a handler already moved on.
void GstMediaPlayer::onEnded()
{
    unwatchFile();
    const unsigned requests = ++m_requests;
    setState(PlayState::MediaEnded);
    if (requests != m_requests)
        return;
    emit endOfStream();
    if (requests == m_requests)
        setState(PlayState::Stopped);
}

void GstMediaPlayer::onFailed(const QString &description)
{
    unwatchFile();
    setState(PlayState::Stopped);
    const QString path = GstMediaUri::localPath(m_url);
    emit error(QStringLiteral("%1: %2").arg(path.isEmpty() ? m_url : path, description));
}

// An open file keeps playing after it is deleted; the jukebox treats that as a lost song.
void GstMediaPlayer::onFileChanged(const QString &path)
{
    if (QFileInfo::exists(path))
        return;
    m_pipeline->stop();
    onFailed(tr("the file was removed while playing"));
}

void GstMediaPlayer::watchFile()
{
    const QString path = GstMediaUri::localPath(m_url);
    if (path.isEmpty())
        return;
    if (!m_watcher) {
        m_watcher = std::make_unique<QFileSystemWatcher>();
        connect(m_watcher.get(), &QFileSystemWatcher::fileChanged, this, &GstMediaPlayer::onFileChanged);
    }
    m_watcher->addPath(path);
}

void GstMediaPlayer::unwatchFile()
{
    if (m_watcher && !m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
}
