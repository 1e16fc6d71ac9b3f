#include "app/venue_notice.h"

#include "platform/screen_fonts.h"

#include <QLabel>
#include <QMetaObject>

QLabel *addVenueNotice(QWidget &menu, QSize screen)
{
    auto *line = new QLabel(&menu);
    line->setObjectName(QStringLiteral("venueNotice"));
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(12, screen.height() / 36));
    line->setFont(font);
    line->setStyleSheet(QStringLiteral("color: #ffff80; background: #101030;"));
    const int height = font.pixelSize() * 3 / 2;
    line->setGeometry(screen.width() / 5, screen.height() - height, screen.width() * 4 / 5, height);
    line->hide();
    return line;
}

void showVenueNotice(QLabel *line, const QString &notice)
{
    QMetaObject::invokeMethod(
        line,
        [line, notice] {
            line->setText(notice);
            line->setVisible(!notice.isEmpty());
            line->raise();
        },
        Qt::QueuedConnection);
}
