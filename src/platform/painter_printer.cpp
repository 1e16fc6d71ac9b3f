#include "platform/painter_printer.h"

#include "platform/output_file.h"

#include <QPageLayout>
#include <QPdfWriter>

namespace {
constexpr double kPointsPerInch = 72;
constexpr double kTwipsPerPoint = 20;

// The painter works in points, and a font is laid out at its size in points: glyphs of that
// size stay in the font engine's cache, where glyphs of hundreds of twips would be loaded
// again for every text.
constexpr double points(double twips)
{
    return twips / kTwipsPerPoint;
}

} // namespace

PainterPrinter::PainterPrinter()
{
    updateFont();
}

PainterPrinter::~PainterPrinter()
{
    stopDocument();
}

void PainterPrinter::setFontName(const QString &name)
{
    m_fontName = name;
    updateFont();
}

void PainterPrinter::setFontSize(double size)
{
    m_fontSize = size;
    updateFont();
}

void PainterPrinter::updateFont()
{
    // Without a name the default font is used: a font with an empty family makes the
    // preview's page recording crash.
    m_font = QFont();
    if (!m_fontName.isEmpty())
        m_font.setFamily(m_fontName);
    m_font.setPixelSize(qMax(1, qRound(m_fontSize)));
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_metrics = QFontMetricsF(m_font);
    m_fontChanged = true;
}

double PainterPrinter::textWidth(const QString &text) const
{
    return m_metrics.horizontalAdvance(text) * kTwipsPerPoint;
}

void PainterPrinter::print(const QString &text)
{
    QPainter *painter = sheet();
    if (!painter)
        return;
    if (m_fontChanged) {
        painter->setFont(m_font);
        m_fontChanged = false;
    }
    painter->drawText(QPointF(points(m_x), points(m_y) + m_metrics.ascent()), text);
    m_x = 0;
    m_y += m_metrics.lineSpacing() * kTwipsPerPoint;
}

void PainterPrinter::fillBox(double x1, double y1, double x2, double y2)
{
    QPainter *painter = sheet();
    if (painter)
        painter->fillRect(QRectF(QPointF(points(x1), points(y1)), QPointF(points(x2), points(y2))).normalized(),
                          Qt::black);
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

bool PainterPrinter::documentFailed() const
{
    return m_failed || (m_output && m_output->failed());
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
        m_painter.scale(m_device->logicalDpiX() / kPointsPerInch, m_device->logicalDpiY() / kPointsPerInch);
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
    OutputFile file(path);
    if (!file.open()) {
        *error = file.error();
        return false;
    }
    QPdfWriter writer(&file.device());
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Tolvek's Karaoke"));
    m_output = &file;
    startDocument(&writer);
    draw();
    const bool failed = documentFailed();
    const bool complete = documentEnded() && !failed;
    stopDocument(); // the document's last part goes to the file here
    m_output = nullptr;
    if (failed)
        *error = file.failed() ? file.error() : QStringLiteral("無法產生 PDF 內容");
    if (!complete || sheetCount() == 0)
        return complete; // dropped unwritten; a document with nothing drawn makes no empty file
    if (!file.commit()) {
        *error = file.error();
        return false;
    }
    return true;
}
