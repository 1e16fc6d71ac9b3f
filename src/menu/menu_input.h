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
// "-" goes back a page from page 2 on, "+" forward up to page 500. True when PageNo changed.
bool turnPage(MenuContext &menu, int key);
// The number InputBuffer holds, if it holds only digits and fits the integers used.
std::optional<qint64> inputNumber(const QString &input);

// Queues the song at the list position typed in InputBuffer (counted through all pages of
// SongList). On success the page is drawn again by redrawPage and the confirmation printed
// below it; a position with no song changes nothing and keeps the digits.
void orderListedSong(MenuContext &menu, qint64 position, const std::function<void()> &redrawPage);

// A page of a numbered list: rows 1 ... rowsPerPage of page, each printed "000." and its
// text, then the page line near the bottom. Row height is a fourteenth of the surface.
void drawNumberedPage(DrawingSurface &surface, int page, int rowsPerPage,
                      const std::function<QString(qint64 position)> &rowText);
// A line at a height measured in list rows from the bottom of the surface.
void printFromBottom(DrawingSurface &surface, double rowsFromBottom, const QString &text);
