#include "platform/painter_printer.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// The PDF engine takes two compression buffers of 16 MB for every page and gives them back at
// once; left to its defaults the allocator maps that memory from the system and unmaps it each
// time, which costs more than drawing the page. While a document is drawn such blocks come from
// the heap and stay there (only what is written to is ever resident); afterwards the defaults
// return.
void keepPageBuffers(bool keep)
{
#ifdef __GLIBC__
    constexpr int kDefaultThreshold = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, keep ? 32 * 1024 * 1024 : kDefaultThreshold);
    mallopt(M_TRIM_THRESHOLD, keep ? 64 * 1024 * 1024 : kDefaultThreshold);
    if (!keep)
        malloc_trim(0);
#else
    Q_UNUSED(keep);
#endif
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
    keepPageBuffers(true);
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
    if (m_device)
        keepPageBuffers(false);
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
