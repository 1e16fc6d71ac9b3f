#include "playback/next_up_card.h"

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
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(color)));
    return label;
}

} // namespace

NextUpCard::NextUpCard(PlayQueue &queue, QSize screen, QWidget *parent)
    : QWidget(parent)
    , m_queue(queue)
{
    setObjectName(QStringLiteral("nextUp"));
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("NextUpCard { background: #101030; border: 3px solid #ffff80; "
                                 "border-radius: 16px; }"));
    const int unit = screen.height() / 18;
    Label1 = line(this, unit, "#ffff80");
    Label2 = line(this, unit * 2, "#ffffff");
    Label3 = line(this, unit, "#c8c8ff");
    Label1->setText(QStringLiteral("下一首"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(unit, unit / 2, unit, unit / 2);
    for (QLabel *label : {Label1, Label2, Label3})
        layout->addWidget(label);
    setGeometry(screen.width() / 8, screen.height() / 3, screen.width() * 3 / 4, screen.height() / 3);
    hide();
    m_queueChanges = queue.subscribe([this] {
        if (isVisible())
            fill();
    });
}

NextUpCard::~NextUpCard() = default;

void NextUpCard::showNext()
{
    fill();
    if (m_queue.isEmpty())
        return;
    show();
    raise();
}

QString NextUpCard::text() const
{
    return Label1->text() + QLatin1Char('\n') + Label2->text() + QLatin1Char('\n') + Label3->text();
}

void NextUpCard::fill()
{
    if (m_queue.isEmpty()) {
        hide();
        return;
    }
    const QueueRow &next = m_queue.row(0);
    Label2->setText(next.title.isEmpty() ? next.text : next.title);
    QString by = next.singer;
    if (!next.by.name.isEmpty())
        by += QStringLiteral("  (%1 點歌)").arg(next.by.name);
    Label3->setText(by);
}
