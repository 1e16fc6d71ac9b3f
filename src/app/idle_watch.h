#pragma once

#include "platform/media_player.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

// Tells when the jukebox is in use and when it has been left alone: any key or click, and any
// song or clip that plays in a player it made, is use; quietMs without either is idle. It makes
// the program's media players (through the real factory), so it sees every one of them.
class IdleWatch : public QObject, public MediaPlayerFactory
{
    Q_OBJECT

public:
    IdleWatch(MediaPlayerFactory &players, int quietMs);

    std::unique_ptr<MediaPlayer> create() override;

signals:
    void inUse();
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void noteUse();
    void onQuiet();
    bool somethingPlays() const;

    MediaPlayerFactory &m_players;
    QList<QPointer<MediaPlayer>> m_made;
    QTimer m_quiet;
    bool m_inUse = true;
};
