#include "platform/painter_printer.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

namespace {
constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;
} // namespace

PainterPrinter::PainterPrinter() = default;

PainterPrinter::~PainterPrinter()
{
    stopDocument();
}

void PainterPrinter::setFontName(const QString &name)
{
    m_fontName = name;
    m_fontChanged = true;
}

void PainterPrinter::setFontSize(double points)
{
    m_fontSize = points;
    m_fontChanged = true;
}

QFont PainterPrinter::twipFont() const
{
    QFont font(m_fontName);
    font.setPixelSize(qMax(1, qRound(m_fontSize * kTwipsPerPoint)));
    return font;
}

double PainterPrinter::textWidth(const QString &text) const
{
    return QFontMetricsF(twipFont()).horizontalAdvance(text);
}

void PainterPrinter::print(const QString &text)
{
    QPainter *painter = sheet();
    if (!painter)
        return;
    if (m_fontChanged) {
        painter->setFont(twipFont());
        m_fontChanged = false;
    }
    const QFontMetricsF metrics(painter->font());
    painter->drawText(QPointF(m_x, m_y + metrics.ascent()), text);
    m_x = 0;
    m_y += metrics.lineSpacing();
}

void PainterPrinter::fillBox(double x1, double y1, double x2, double y2)
{
    QPainter *painter = sheet();
    if (painter)
        painter->fillRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), Qt::black);
}

void PainterPrinter::newPage()
{
    if (m_painter.isActive())
        m_breakPending = true;
}

void PainterPrinter::endDoc()
{
    if (m_painter.isActive())
        m_painter.end();
    m_ended = true;
}

void PainterPrinter::startDocument(QPagedPaintDevice *device)
{
    stopDocument();
    m_device = device;
    m_breakPending = false;
    m_ended = false;
    m_failed = false;
    m_sheets = 0;
    m_x = 0;
    m_y = 0;
}

void PainterPrinter::stopDocument()
{
    if (m_painter.isActive())
        m_painter.end();
    m_device = nullptr;
}

QPainter *PainterPrinter::sheet()
{
    if (m_failed || m_ended || !m_device)
        return nullptr;
    if (!m_painter.isActive()) {
        if (!m_painter.begin(m_device)) {
            m_failed = true;
            return nullptr;
        }
        m_painter.scale(m_device->logicalDpiX() / kTwipsPerInch, m_device->logicalDpiY() / kTwipsPerInch);
        m_fontChanged = true;
        m_sheets = 1;
    } else if (m_breakPending) {
        m_device->newPage();
        m_breakPending = false;
        ++m_sheets;
    }
    return &m_painter;
}

bool PainterPrinter::writePdfDocument(const QString &path, const QString &title, const std::function<void()> &draw,
                                      QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tolvek's Karaoke"));
    startDocument(&writer);
    draw();
    const bool complete = documentEnded() && !documentFailed();
    stopDocument();
    if (!complete) {
        if (documentFailed())
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (sheetCount() == 0) {
        file.cancelWriting(); // nothing was drawn: no empty file
        return true;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
