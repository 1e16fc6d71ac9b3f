#include "support/fake_media_player.h"

FakeMediaPlayer::FakeMediaPlayer()
    : m_video(std::make_unique<QWidget>())
{
}

FakeMediaPlayer::~FakeMediaPlayer() = default;

void FakeMediaPlayer::setUrl(const QString &url)
{
    requests.append(QStringLiteral("url ") + url);
    m_url = url;
    report(PlayState::Ready);
}

void FakeMediaPlayer::play()
{
    requests.append(QStringLiteral("play"));
    if (m_url.isEmpty())
        return;
    report(PlayState::Transitioning);
    if (playsAtOnce)
        report(PlayState::Playing);
}

void FakeMediaPlayer::pause()
{
    requests.append(QStringLiteral("pause"));
    if (m_state == PlayState::Playing)
        report(PlayState::Paused);
}

void FakeMediaPlayer::stop()
{
    requests.append(QStringLiteral("stop"));
    if (m_state != PlayState::Undefined)
        report(PlayState::Stopped);
}

void FakeMediaPlayer::close()
{
    requests.append(QStringLiteral("close"));
    m_url.clear();
    report(PlayState::Undefined);
}

void FakeMediaPlayer::report(PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit playStateChanged(state);
}

void FakeMediaPlayer::finishSong()
{
    report(PlayState::MediaEnded);
    report(PlayState::Stopped);
    emit endOfStream();
}

void FakeMediaPlayer::fail(const QString &what)
{
    report(PlayState::Undefined);
    emit error(what);
}

std::unique_ptr<MediaPlayer> FakeMediaPlayerFactory::create()
{
    auto player = std::make_unique<FakeMediaPlayer>();
    created.push_back(player.get());
    return player;
}
