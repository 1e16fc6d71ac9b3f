#include "app/idle_watch.h"

#include <QEvent>

IdleWatch::IdleWatch(MediaPlayerFactory &players, int quietMs)
    : m_players(players)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &IdleWatch::onQuiet);
    m_quiet.start();
}

std::unique_ptr<MediaPlayer> IdleWatch::create()
{
    std::unique_ptr<MediaPlayer> player = m_players.create();
    m_made.removeAll(nullptr);
    m_made.append(player.get());
    connect(player.get(), &MediaPlayer::playStateChanged, this, &IdleWatch::noteUse);
    return player;
}

bool IdleWatch::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        noteUse();
        break;
    default:
        break;
    }
    return false;
}

void IdleWatch::noteUse()
{
    m_quiet.start();
    if (m_inUse)
        return;
    m_inUse = true;
    emit inUse();
}

void IdleWatch::onQuiet()
{
    if (somethingPlays()) {
        m_quiet.start();
        return;
    }
    m_inUse = false;
    emit idle();
}

bool IdleWatch::somethingPlays() const
{
    for (const QPointer<MediaPlayer> &player : m_made) {
        if (!player)
            continue;
        const PlayState state = player->playState();
        if (state == PlayState::Playing || state == PlayState::Paused || state == PlayState::Transitioning)
            return true;
    }
    return false;
}
