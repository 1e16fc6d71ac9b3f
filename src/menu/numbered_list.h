#pragma once

#include <QString>

#include <functional>

class DrawingSurface;

// A list row of the menu is a fourteenth of the screen's height; the menu's font is chosen to fit one.
constexpr double kListRowsPerScreen = 14;

// How a page of a numbered list is drawn.
struct NumberedPage
{
    int rowsPerPage;
    int numberDigits = 3;                      // the row numbers read "001." (or "01.")
    double rowsPerScreen = kListRowsPerScreen; // list rows that fill the surface's height
    double pageLineFromBottom = 1.3;           // in list rows
    QString pageLineEnd = QStringLiteral(" 選\"0\"可回主選單"); // behind "第 n 頁"
};

// Clears the surface and draws one page of a numbered list: rows 1 ... rowsPerPage of page,
// each its position in the whole list and the text rowText gives for it, then the page line.
void drawNumberedPage(DrawingSurface &surface, int page, const NumberedPage &layout,
                      const std::function<QString(qint64 position)> &rowText);
// A line at a height measured in list rows from the bottom of the surface.
void printFromBottom(DrawingSurface &surface, double rowsFromBottom, const QString &text,
                     double rowsPerScreen = kListRowsPerScreen);
