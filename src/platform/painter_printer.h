#pragma once

#include "platform/printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

class OutputFile;
class QPagedPaintDevice;

// The printer's drawing operations on a paged paint device: a PDF file, a printer, a preview.
// Fonts come in whole points, unhinted, so text measures the same on every device. Sheets
// start when something is drawn on them, so a page break before the end of the document
// leaves no blank sheet.
class PainterPrinter : public Printer
{
public:
    PainterPrinter();
    ~PainterPrinter() override;

    void setFontName(const QString &name) override;
    void setFontSize(double size) override;
    QString fontName() const override { return m_fontName; }
    double fontSize() const override { return m_fontSize; }

    void setCurrentX(double twips) override { m_x = twips; }
    void setCurrentY(double twips) override { m_y = twips; }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }

    double textWidth(const QString &text) const override;
    void print(const QString &text) override;
    void fillBox(double x1, double y1, double x2, double y2) override;
    void newPage() override;
    void endDoc() override;

protected:
    // Drawing goes to device from now on; the first drawing begins its first sheet.
    void startDocument(QPagedPaintDevice *device);
    // Stops drawing on the device, whether the document was ended or not.
    void stopDocument();
    bool documentEnded() const { return m_ended; }
    // The device could not be drawn on, or the file being written has failed.
    bool documentFailed() const;
    int sheetCount() const { return m_sheets; }

    // Draws the document into a PDF file at path, A4 portrait. A file there is replaced only
    // when the document is complete. False (with the reason, unless cancelled) otherwise.
    bool writePdfDocument(const QString &path, const QString &title, const std::function<void()> &draw,
                          QString *error);

private:
    // The painter on the current sheet, beginning the document or the next sheet as needed;
    // nullptr when the device cannot be drawn on.
    QPainter *sheet();
    // The font and its measures, made again when the name or size changes.
    void updateFont();

    QString m_fontName;
    double m_fontSize = 9;
    QFont m_font;
    QFontMetricsF m_metrics{m_font};
    double m_x = 0;
    double m_y = 0;

    QPagedPaintDevice *m_device = nullptr;
    const OutputFile *m_output = nullptr; // the PDF file being written, if any
    QPainter m_painter;
    bool m_fontChanged = true;
    bool m_breakPending = false;
    bool m_ended = false;
    bool m_failed = false;
    int m_sheets = 0;
};
