#pragma once

#include <QString>

#include <functional>
#include <optional>

class DrawingSurface;
struct MenuContext;

// Input rules the menu's flows share.

// A list row is a fourteenth of the screen's height; the menu's font is chosen to fit one.
constexpr double kListRowsPerScreen = 14;

// Shows text in the echo line.
void setEcho(MenuContext &menu, const QString &text);
// A digit is appended to InputBuffer, "." removes its last character; either is echoed,
// followed by a line break when withLineBreak. Returns true when the key was one of them.
bool editInput(MenuContext &menu, int key, bool withLineBreak = false);
// The last page a list of the menus can be turned to.
constexpr int kLastListPage = 500;

// "-" goes back a page from page 2 on, "+" forward up to lastPage. True when PageNo changed.
bool turnPage(MenuContext &menu, int key, int lastPage = kLastListPage);
// The number InputBuffer holds, if it holds only digits and fits the integers used.
std::optional<qint64> inputNumber(const QString &input);

// Queues the song at the list position typed in InputBuffer (counted through all pages of
// SongList). On success the page is drawn again by redrawPage and the confirmation printed
// below it. A position with no song changes nothing: silently with the digits kept, or, when
// missingText is given, with that text in the echo line and the digits cleared.
void orderListedSong(MenuContext &menu, qint64 position, const std::function<void()> &redrawPage,
                     const QString &missingText = QString());

// How a numbered list page is drawn: rows per page, digits of the row numbers, and how many
// list rows fill the surface's height.
struct NumberedRows
{
    int rowsPerPage;
    int numberDigits = 3;
    double rowsPerScreen = kListRowsPerScreen;
};

// A page of a numbered list: rows 1 ... rowsPerPage of page, each printed "000." and its
// text, then the page line near the bottom. Row height is a fourteenth of the surface.
void drawNumberedPage(DrawingSurface &surface, int page, int rowsPerPage,
                      const std::function<QString(qint64 position)> &rowText);
// The rows of such a page alone, on a cleared surface.
void drawNumberedRows(DrawingSurface &surface, int page, const NumberedRows &rows,
                      const std::function<QString(qint64 position)> &rowText);
// A line at a height measured in list rows from the bottom of the surface.
void printFromBottom(DrawingSurface &surface, double rowsFromBottom, const QString &text,
                     double rowsPerScreen = kListRowsPerScreen);
