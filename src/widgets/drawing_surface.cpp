#include "widgets/drawing_surface.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <map>
#include <utility>

namespace {
const QColor kBackground(0, 0, 48);
const QColor kText(255, 255, 255);
}

DrawingSurface::DrawingSurface(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingSurface::Cls()
{
    m_runs.clear();
    m_boxes.clear();
    m_pictures.clear();
    CurrentX = 0;
    CurrentY = 0;
    update();
}

void DrawingSurface::Print(const QString &text)
{
    if (!text.isEmpty())
        m_runs.push_back({QPointF(CurrentX, CurrentY), text});
    CurrentX = 0;
    CurrentY += lineHeight();
    update();
}

void DrawingSurface::ShowLines(std::initializer_list<const char *> lines)
{
    Cls();
    for (const char *line : lines)
        Print(QString::fromUtf8(line));
}

void DrawingSurface::PrintOnSameLine(const QString &text)
{
    if (!text.isEmpty())
        m_runs.push_back({QPointF(CurrentX, CurrentY), text});
    CurrentX += textWidth(text);
    update();
}

void DrawingSurface::FillBox(const QRectF &rect, const QColor &color)
{
    m_boxes.push_back({rect.normalized(), color});
    update();
}

void DrawingSurface::PaintPicture(const QImage &picture, const QRectF &rect)
{
    // Scaled once here, so that painting the screen again costs no scaling.
    const QSize size = rect.size().toSize();
    QImage scaled = picture.size() == size ? picture : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pictures.push_back({rect, std::move(scaled)});
    update();
}

double DrawingSurface::lineHeight() const
{
    return QFontMetricsF(font()).lineSpacing();
}

double DrawingSurface::textWidth(const QString &text) const
{
    return QFontMetricsF(font()).horizontalAdvance(text);
}

void DrawingSurface::setSurfaceFont(const QFont &font)
{
    setFont(font);
    update();
}

QStringList DrawingSurface::screenLines() const
{
    // Runs whose tops are within half a line of each other stand on one line.
    std::vector<const TextRun *> sorted;
    for (const TextRun &run : m_runs)
        sorted.push_back(&run);
    std::stable_sort(sorted.begin(), sorted.end(), [](const TextRun *a, const TextRun *b) {
        return a->position.y() < b->position.y();
    });
    QStringList lines;
    const double tolerance = lineHeight() / 2;
    for (size_t i = 0; i < sorted.size();) {
        std::vector<const TextRun *> line;
        const double top = sorted[i]->position.y();
        while (i < sorted.size() && sorted[i]->position.y() - top < tolerance)
            line.push_back(sorted[i++]);
        std::stable_sort(line.begin(), line.end(), [](const TextRun *a, const TextRun *b) {
            return a->position.x() < b->position.x();
        });
        // Runs that do not touch are read with one blank between them.
        QString text;
        double end = 0;
        for (const TextRun *run : line) {
            if (!text.isEmpty() && run->position.x() > end + 1)
                text += QLatin1Char(' ');
            text += run->text;
            end = run->position.x() + textWidth(run->text);
        }
        lines.append(text);
    }
    return lines;
}

void DrawingSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    for (const Picture &picture : m_pictures)
        painter.drawImage(picture.rect.topLeft(), picture.image);
    for (const Box &box : m_boxes)
        painter.fillRect(box.rect, box.color);
    painter.setFont(font());
    painter.setPen(kText);
    const QFontMetricsF metrics(font());
    for (const TextRun &run : m_runs)
        painter.drawText(QPointF(run.position.x(), run.position.y() + metrics.ascent()), run.text);
}
