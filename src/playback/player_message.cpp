#include "playback/player_message.h"

#include "core/small_routines.h"

#include <QLabel>

PlayerMessage::PlayerMessage(QSize screen, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , Label1(new QLabel(this))
{
    setObjectName(QStringLiteral("playerMsg"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("PlayerMessage { background: rgba(0, 0, 0, 160); } QLabel { color: #ffff80; }"));
    setGeometry(0, 0, 240, 40);
    Label1->setGeometry(4, 2, 232, 36);
    Label1->setWordWrap(true);
    Label1->setFont(QFont(kScreenFontName, 10));
    // At the top edge, from 80 % of the screen width, a quarter of the screen wide.
    const double factor = screen.width() * 0.25 / width();
    ScaleControl(this, factor);
    ScaleControl(Label1, factor);
    move(int(screen.width() * 0.8), 0);
}

void PlayerMessage::setText(const QString &text)
{
    Label1->setText(text);
}

QString PlayerMessage::text() const
{
    return Label1->text();
}
