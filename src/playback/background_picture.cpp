#include "playback/background_picture.h"

#include "widgets/caption_painter.h"
#include "platform/screen_fonts.h"
#include "core/small_routines.h"

#include <QLinearGradient>
#include <QPainter>

QPixmap playerBackgroundPicture(QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient stage(0, 0, size.width(), size.height());
    stage.setColorAt(0, QColor(20, 0, 40));
    stage.setColorAt(1, QColor(0, 30, 70));
    painter.fillRect(picture.rect(), stage);

    // Music notes scattered over the stage.
    QFont notes(kScreenFontName);
    notes.setPixelSize(size.height() / 9);
    painter.setFont(notes);
    painter.setPen(QColor(255, 255, 255, 40));
    for (int i = 0; i < 12; ++i) {
        const QPointF at(size.width() * ((i * 37) % 100) / 100.0, size.height() * ((i * 53) % 100) / 100.0);
        painter.drawText(at, i % 2 ? QStringLiteral("♪") : QStringLiteral("♫"));
    }

    drawCaption(painter, QRect(0, size.height() / 3, size.width(), size.height() / 6), QStringLiteral("歡唱時間"),
                size.height() / 10, QColor(255, 230, 150));
    drawCaption(painter, QRect(0, size.height() / 2, size.width(), size.height() / 10),
                QStringLiteral("按任意鍵開啟控制列, 點歌後稍候即開始播放"), size.height() / 24, QColor(210, 210, 240));
    return picture;
}
