#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

// Writes one line of text in the screen font, centred in area, for the built-in pictures.
void drawCaption(QPainter &painter, const QRect &area, const QString &text, int pixelSize, const QColor &color);
