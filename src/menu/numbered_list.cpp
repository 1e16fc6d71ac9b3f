#include "menu/numbered_list.h"

#include "widgets/drawing_surface.h"

void drawNumberedPage(DrawingSurface &surface, int page, const NumberedPage &layout,
                      const std::function<QString(qint64 position)> &rowText)
{
    const double h = surface.ScaleHeight() / layout.rowsPerScreen;
    surface.Cls();
    for (int i = 1; i <= layout.rowsPerPage; ++i) {
        const qint64 p = qint64(page - 1) * layout.rowsPerPage + i;
        surface.CurrentX = 0;
        surface.CurrentY = (i - 1) * h;
        surface.Print(QStringLiteral("%1.").arg(p, layout.numberDigits, 10, QLatin1Char('0')) + rowText(p));
    }
    printFromBottom(surface, layout.pageLineFromBottom, QStringLiteral("  第 %1 頁").arg(page) + layout.pageLineEnd,
                    layout.rowsPerScreen);
}

void printFromBottom(DrawingSurface &surface, double rowsFromBottom, const QString &text, double rowsPerScreen)
{
    surface.CurrentX = 0;
    surface.CurrentY = surface.ScaleHeight() - rowsFromBottom * surface.ScaleHeight() / rowsPerScreen;
    surface.Print(text);
}
