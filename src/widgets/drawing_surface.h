#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <initializer_list>
#include <vector>

// The text screen the menus print on. It keeps what is on it as data (text runs at their
// positions, filled boxes) and paints that; tests read the screen from the same data.
// Coordinates are pixels of the surface; (0, 0) is its top-left corner.
class DrawingSurface : public QWidget
{
    Q_OBJECT

public:
    struct TextRun
    {
        QPointF position; // top-left of the text
        QString text;
    };
    struct Box
    {
        QRectF rect;
        QColor color;
    };
    struct Picture
    {
        QRectF rect;  // where it is drawn, at the size it is drawn
        QImage image; // already scaled to rect
    };

    explicit DrawingSurface(QWidget *parent = nullptr);

    // Clears the surface and puts the print position at the top-left corner.
    void Cls();
    // Prints text at the print position, then moves to the start of the next line.
    void Print(const QString &text = QString());
    // Clears the surface and prints the lines one under the other ("" leaves a line empty).
    void ShowLines(std::initializer_list<const char *> lines);
    // Prints text at the print position and stays on that line, after the text.
    void PrintOnSameLine(const QString &text);
    void FillBox(const QRectF &rect, const QColor &color);
    // Draws a picture scaled into rect; what lies outside the surface is cut off.
    void PaintPicture(const QImage &picture, const QRectF &rect);

    double CurrentX = 0;
    double CurrentY = 0;
    double ScaleWidth() const { return width(); }
    double ScaleHeight() const { return height(); }
    double lineHeight() const;

    void setSurfaceFont(const QFont &font);

    const std::vector<TextRun> &runs() const { return m_runs; }
    const std::vector<Box> &boxes() const { return m_boxes; }
    const std::vector<Picture> &pictures() const { return m_pictures; }
    // The screen as lines of text, top to bottom; runs on one line are joined left to right.
    QStringList screenLines() const;
    QString screenText() const { return screenLines().join(QLatin1Char('\n')); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double textWidth(const QString &text) const;

    std::vector<TextRun> m_runs;
    std::vector<Box> m_boxes;
    std::vector<Picture> m_pictures;
};
