#include "playback/small_view.h"

#include "platform/media_player.h"

SmallView::SmallView(MediaPlayerFactory &players, QSize screen, QWidget *parent)
    : QDialog(parent)
    , m_player(players.create())
{
    setObjectName(QStringLiteral("small_view"));
    resize(screen.width() / 2, screen.height() / 2);
    QWidget *video = m_player->videoWidget();
    video->setParent(this);
    video->setObjectName(QStringLiteral("WMP_SMALL"));
    const int w = int(width() * 0.8);
    const int h = int(height() * 0.8);
    video->setGeometry((width() - w) / 2, 0, w, h);
    video->show();
}

SmallView::~SmallView() = default;

void SmallView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_started || m_path.isEmpty())
        return;
    m_started = true;
    m_player->setUrl(QStringLiteral("file://") + m_path);
    m_player->play();
}

void SmallView::hideEvent(QHideEvent *event)
{
    m_player->stop();
    m_player->close();
    m_started = false;
    QDialog::hideEvent(event);
}
