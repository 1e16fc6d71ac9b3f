#include "menu/start_form.h"

#include "core/small_routines.h"
#include "platform/clock.h"
#include "platform/plain_text.h"
#include "widgets/caption_painter.h"
#include "widgets/phone_code_panel.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

StartForm::StartForm(QSize screen, Clock &clock, std::function<void()> showMenu, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
    , Image1(newTextLabel(this))
    , m_screen(screen)
    , m_clock(clock)
    , m_showMenu(std::move(showMenu))
{
    setObjectName(QStringLiteral("start_form"));
    setWindowTitle(QStringLiteral("Tolvek's Karaok 電腦點歌系統"));
    // Placed just outside the screen until the picture is ready.
    setGeometry(screen.width(), screen.height(), screen.width(), screen.height());
    Image1->setScaledContents(true);
    Image1->hide();
}

void StartForm::run()
{
    Image1->setGeometry(0, 0, m_screen.width(), m_screen.height());
    Image1->setPixmap(titlePicture(m_screen, m_url, m_notice));
    Image1->show();
    setGeometry(0, 0, m_screen.width(), m_screen.height());
    showFullScreen();
    WaitSeconds(m_clock, 4);
    Image1->hide();
    Image1->resize(1, 1);
    m_showMenu();
    close();
}

void StartForm::setPhoneAddress(const QString &url, const QString &problem)
{
    m_url = url;
    m_notice = url.isEmpty() ? (problem.isEmpty() ? PhoneCodePanel::kNoNetwork : problem) : QString();
    if (Image1->isVisible())
        Image1->setPixmap(titlePicture(m_screen, m_url, m_notice));
}

QPixmap StartForm::titlePicture(QSize size, const QString &url, const QString &notice)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(8, 10, 48));
    sky.setColorAt(1, QColor(70, 20, 90));
    painter.fillRect(picture.rect(), sky);

    // A row of soft stage lights across the top.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        QRadialGradient light(QPointF(size.width() * (i + 0.5) / 7, 0), size.height() * 0.45);
        light.setColorAt(0, QColor(255, 220, 120, 70));
        light.setColorAt(1, QColor(255, 220, 120, 0));
        painter.setBrush(light);
        painter.drawRect(picture.rect());
    }

    drawCaption(painter, QRect(0, size.height() / 4, size.width(), size.height() / 4), QStringLiteral("電腦點歌系統"),
                size.height() / 7, QColor(255, 236, 160));
    drawCaption(painter, QRect(0, size.height() / 2, size.width(), size.height() / 8), QStringLiteral("Tolvek's Karaok"),
                size.height() / 16, QColor(220, 220, 255));
    if (!url.isEmpty() || !notice.isEmpty()) {
        const int height = size.height() / 4;
        const QRect corner(size.width() - height * 5 / 2, size.height() - height * 9 / 8, height * 9 / 4, height);
        PhoneCodePanel::paint(painter, corner, url, notice);
    }
    return picture;
}
