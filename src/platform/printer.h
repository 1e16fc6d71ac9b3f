#pragma once

#include <QString>

#include <functional>

// The printer as the song book draws on it. Positions are in twips (567 to the centimetre)
// from the top left corner of the sheet; the sheet is A4 portrait.
//
// A document is drawn by a function that printDocument() calls, possibly more than once (for
// the preview, then for the paper), so it must draw the whole document each time and end it
// with endDoc(). Nothing reaches the printer before endDoc().
class Printer
{
public:
    virtual ~Printer() = default;

    // Draws the document and prints it. False when nothing was printed: the owner cancelled
    // (the preview, the file name, the progress) or the printer failed and has said so.
    virtual bool printDocument(const QString &title, const std::function<void()> &draw) = 0;

    virtual void setFontName(const QString &name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual QString fontName() const = 0;
    virtual double fontSize() const = 0;

    virtual void setCurrentX(double twips) = 0;
    virtual void setCurrentY(double twips) = 0;
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;

    // How wide the text comes out in the current font.
    virtual double textWidth(const QString &text) const = 0;
    // Text with its top left corner at the current position; then the position moves to the
    // start of the next line.
    virtual void print(const QString &text) = 0;
    // A black box filled between two corners.
    virtual void fillBox(double x1, double y1, double x2, double y2) = 0;
    // Ends the sheet; drawing goes on on a new one. A page break right before endDoc() adds
    // no blank sheet.
    virtual void newPage() = 0;
    // The document is complete.
    virtual void endDoc() = 0;

    // How far a long document has come. False when the owner cancelled it: the drawing then
    // stops without endDoc() and nothing of the document is printed.
    virtual bool progress(int done, int total) = 0;
};
