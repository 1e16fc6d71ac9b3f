#include "menu/menu_input.h"

#include "menu/drawing_surface.h"
#include "core/key_translation.h"
#include "core/lookups.h"
#include "menu/menu_context.h"
#include "core/shared_state.h"

#include <QLabel>

void setEcho(MenuContext &menu, const QString &text)
{
    menu.Label1.setText(text);
}

bool editInput(MenuContext &menu, int key, bool withLineBreak)
{
    if (isDigitKey(key)) {
        menu.InputBuffer += QChar(key);
    } else if (key == KeyCode::Dot && !menu.InputBuffer.isEmpty()) {
        menu.InputBuffer.chop(1);
    } else {
        return key == KeyCode::Dot;
    }
    setEcho(menu, withLineBreak ? menu.InputBuffer + QStringLiteral("\n\r") : menu.InputBuffer);
    return true;
}

bool turnPage(MenuContext &menu, int key, int lastPage)
{
    int &page = menu.state.PageNo;
    if (key == KeyCode::Minus && page >= 2) {
        --page;
        return true;
    }
    if (key == KeyCode::Plus && page < lastPage) {
        ++page;
        return true;
    }
    return false;
}

std::optional<qint64> inputNumber(const QString &input)
{
    if (input.isEmpty() || input.size() > 15)
        return std::nullopt;
    for (QChar c : input) {
        if (!c.isDigit())
            return std::nullopt;
    }
    return input.toLongLong();
}

void orderListedSong(MenuContext &menu, qint64 position, const std::function<void()> &redrawPage,
                     const QString &missingText)
{
    const ListRow &row = menu.state.SongList.row(position - 1);
    const int added = row.isEmpty() ? kSongNotFound : AddToOrderList(menu.state, row.key);
    if (added == kQueueFull) {
        setEcho(menu, kQueueFullText);
        menu.InputBuffer.clear();
        return;
    }
    if (added < 0) {
        if (missingText.isEmpty())
            return;
        setEcho(menu, missingText);
        menu.InputBuffer.clear();
        return;
    }
    redrawPage();
    menu.Picture1.Print(QStringLiteral("成功點入:") + row.text + QStringLiteral("...."));
    menu.InputBuffer.clear();
    setEcho(menu, QString());
}

void drawNumberedPage(DrawingSurface &surface, int page, int rowsPerPage,
                      const std::function<QString(qint64 position)> &rowText)
{
    drawNumberedRows(surface, page, {rowsPerPage}, rowText);
    printFromBottom(surface, 1.3, QStringLiteral("  第 %1 頁 選\"0\"可回主選單").arg(page));
}

void drawNumberedRows(DrawingSurface &surface, int page, const NumberedRows &rows,
                      const std::function<QString(qint64 position)> &rowText)
{
    const double h = surface.ScaleHeight() / rows.rowsPerScreen;
    surface.Cls();
    for (int i = 1; i <= rows.rowsPerPage; ++i) {
        const qint64 p = qint64(page - 1) * rows.rowsPerPage + i;
        surface.CurrentX = 0;
        surface.CurrentY = (i - 1) * h;
        surface.Print(QStringLiteral("%1.").arg(p, rows.numberDigits, 10, QLatin1Char('0')) + rowText(p));
    }
}

void printFromBottom(DrawingSurface &surface, double rowsFromBottom, const QString &text, double rowsPerScreen)
{
    surface.CurrentX = 0;
    surface.CurrentY = surface.ScaleHeight() - rowsFromBottom * surface.ScaleHeight() / rowsPerScreen;
    surface.Print(text);
}
