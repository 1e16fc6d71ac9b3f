#include "widgets/caption_painter.h"

#include "platform/screen_fonts.h"

#include <QFont>
#include <QPainter>

void drawCaption(QPainter &painter, const QRect &area, const QString &text, int pixelSize, const QColor &color)
{
    QFont font(kScreenFontName);
    font.setPixelSize(qMax(1, pixelSize));
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(area, Qt::AlignCenter, text);
}
