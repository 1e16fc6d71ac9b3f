#include "playback/score_card.h"

#include "platform/plain_text.h"
#include "platform/screen_fonts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *line(QWidget *parent, int pixelSize, const char *color)
{
    QLabel *label = newTextLabel(parent);
    QFont font(kScreenFontName);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(color)));
    return label;
}

} // namespace

ScoreCard::ScoreCard(QSize screen, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("scoreCard"));
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("ScoreCard { background: #301010; border: 3px solid #ffd040; "
                                 "border-radius: 16px; }"));
    const int unit = screen.height() / 18;
    Label1 = line(this, unit * 3 / 2, "#ffd040");
    Label2 = line(this, unit * 5, "#ffffff");
    Label1->setText(QStringLiteral("得分"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(unit, unit / 2, unit, unit / 2);
    layout->addWidget(Label1);
    layout->addWidget(Label2, 1);
    setGeometry(screen.width() / 4, screen.height() / 5, screen.width() / 2, screen.height() * 3 / 5);
    hide();
}

void ScoreCard::showScore(int score)
{
    Label2->setText(QString::number(score));
    show();
    raise();
}

QString ScoreCard::text() const
{
    return isVisible() ? Label1->text() + QLatin1Char(' ') + Label2->text() : QString();
}
