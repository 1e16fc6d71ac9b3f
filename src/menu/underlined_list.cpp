#include "menu/underlined_list.h"

#include "widgets/drawing_surface.h"

#include <QColor>
#include <QFontMetricsF>

void drawUnderlinedPage(DrawingSurface &surface, int page, int rows,
                        const std::function<QString(qint64 index)> &rowText, const QStringList &footer)
{
    surface.Cls();
    const double b = surface.ScaleHeight() / (rows + 2);
    const double columnWidth = QFontMetricsF(surface.font()).horizontalAdvance(QLatin1Char('0'));
    for (int i = 1; i <= rows; ++i) {
        const double y = i * b + 1;
        surface.FillBox(QRectF(0, y, surface.ScaleWidth(), 2), QColor(0, 255, 0));
        surface.CurrentX = 0;
        surface.CurrentY = y - 0.75 * b;
        surface.PrintOnSameLine(QStringLiteral("%1.").arg(i));
        const QString text = rowText(qint64(page - 1) * rows + i - 1);
        if (!text.isEmpty()) {
            surface.CurrentX = 3 * columnWidth;
            surface.PrintOnSameLine(text);
        }
    }
    surface.CurrentY = (rows + 1) * b + 1 - 0.8 * b;
    for (const QString &line : footer) {
        surface.CurrentX = 5 * columnWidth;
        surface.Print(line);
    }
}
