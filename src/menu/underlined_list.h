#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class DrawingSurface;

// The paged list of the queue, the recordings and the media folders: the surface is cleared,
// each of the rows entries of the page stands above a thin green bar, numbered 1 ... rows at
// the left with its text three columns in, and the footer lines follow five columns in below
// the last row. rowText gets the index of the entry in the whole list, counted from 0, and
// gives an empty text for an index past the end.
void drawUnderlinedPage(DrawingSurface &surface, int page, int rows,
                        const std::function<QString(qint64 index)> &rowText, const QStringList &footer);
