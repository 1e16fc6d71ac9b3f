#include "platform/xlsx_spreadsheet.h"

#include "platform/output_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The file format allows this many manual horizontal breaks in one sheet.
constexpr size_t kMaxPageBreaks = 1023;
constexpr int kA4Paper = 9;
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kDigitPixels = 7; // width of "0" in the default font, the unit of column widths
constexpr double kCellPaddingPixels = 12;

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3)
        || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
        || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

uint8_t lxwLine(XlsxSpreadsheet::Line line)
{
    switch (line) {
    case XlsxSpreadsheet::Line::Thin:
        return LXW_BORDER_THIN;
    case XlsxSpreadsheet::Line::Medium:
        return LXW_BORDER_MEDIUM;
    case XlsxSpreadsheet::Line::None:
        break;
    }
    return LXW_BORDER_NONE;
}

// One format per combination of edges, all in the sheet's font.
class Formats
{
public:
    Formats(lxw_workbook *workbook, const QString &fontName, double fontSize)
        : m_workbook(workbook)
        , m_fontName(fontName.toUtf8())
        , m_fontSize(fontSize)
    {
    }

    lxw_format *operator()(const XlsxSpreadsheet::Edges &edges)
    {
        const int key = int(edges.left) | int(edges.top) << 2 | int(edges.right) << 4 | int(edges.bottom) << 6;
        auto found = m_formats.find(key);
        if (found != m_formats.end())
            return found->second;
        lxw_format *format = workbook_add_format(m_workbook);
        format_set_font_name(format, m_fontName.constData());
        format_set_font_size(format, m_fontSize);
        format_set_left(format, lxwLine(edges.left));
        format_set_top(format, lxwLine(edges.top));
        format_set_right(format, lxwLine(edges.right));
        format_set_bottom(format, lxwLine(edges.bottom));
        m_formats.emplace(key, format);
        return format;
    }

private:
    lxw_workbook *m_workbook;
    QByteArray m_fontName;
    double m_fontSize;
    std::map<int, lxw_format *> m_formats;
};

double rowHeightFor(double points)
{
    // Rows grow with the font as the spreadsheet itself would size them, in steps of 0.75 pt.
    return std::ceil(points * 1.32 / 0.75) * 0.75;
}

} // namespace

XlsxSpreadsheet::Cell &XlsxSpreadsheet::cell(int row, int column)
{
    if (size_t(row) > m_rows.size())
        m_rows.resize(size_t(row));
    std::vector<Cell> &cells = m_rows[size_t(row - 1)];
    if (size_t(column) > cells.size())
        cells.resize(size_t(column));
    Cell &c = cells[size_t(column - 1)];
    c.written = true;
    return c;
}

void XlsxSpreadsheet::setCell(int row, int column, const QString &text)
{
    cell(row, column).text = text;
}

void XlsxSpreadsheet::setGridBorders(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            Edges &edges = cell(r, c).edges;
            edges.left = c == firstColumn ? Line::Medium : Line::Thin;
            edges.right = c == lastColumn ? Line::Medium : Line::Thin;
            edges.top = r == firstRow ? Line::Medium : Line::Thin;
            edges.bottom = r == lastRow ? Line::Medium : Line::Thin;
        }
    }
}

bool XlsxSpreadsheet::addPageBreakBefore(int row)
{
    if (m_pageBreaks.size() >= kMaxPageBreaks)
        return false;
    m_pageBreaks.push_back(row);
    return true;
}

void XlsxSpreadsheet::setFont(const QString &name, double points)
{
    m_fontName = name;
    m_fontSize = points;
}

void XlsxSpreadsheet::autoFitColumns(int firstColumn, int lastColumn)
{
    for (int c = firstColumn; c <= lastColumn; ++c)
        m_fittedColumns.push_back(c);
}

void XlsxSpreadsheet::setPageSetup(const PageSetup &setup)
{
    m_pageSetup = setup;
}

double XlsxSpreadsheet::columnWidthFor(const QString &text, double points)
{
    double ems = 0;
    for (char32_t c : text.toUcs4())
        ems += isWide(c) ? 1.0 : 0.55;
    return (ems * points * kPixelsPerPoint + kCellPaddingPixels) / kDigitPixels;
}

bool XlsxSpreadsheet::saveAs(const QString &path, QString *error)
{
    // The library writes to a file of its own; the workbook then reaches its place as an
    // output file, which replaces an earlier file only when complete and keeps its permissions.
    OutputFile target(path);
    QTemporaryFile built(QDir::tempPath() + QStringLiteral("/karaoke-XXXXXX.xlsx"));
    if (!target.open()) {
        *error = target.error();
        return false;
    }
    if (!built.open()) {
        *error = built.errorString();
        return false;
    }
    built.close();
    if (!write(built.fileName(), error))
        return false;
    const QByteArray workbook = built.open() ? built.readAll() : QByteArray();
    if (workbook.size() != built.size() || workbook.isEmpty()) {
        *error = built.errorString();
        return false;
    }
    target.device().write(workbook);
    if (!target.commit()) {
        *error = target.error();
        return false;
    }
    return true;
}

bool XlsxSpreadsheet::write(const QString &path, QString *error) const
{
    lxw_workbook *workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook) {
        *error = QStringLiteral("cannot create the workbook");
        return false;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    Formats formats(workbook, m_fontName, m_fontSize);

    for (int column : m_fittedColumns) {
        double width = 0;
        for (const std::vector<Cell> &cells : m_rows) {
            if (size_t(column) <= cells.size())
                width = std::max(width, columnWidthFor(cells[size_t(column - 1)].text, m_fontSize));
        }
        worksheet_set_column(sheet, lxw_col_t(column - 1), lxw_col_t(column - 1), width, formats({}));
    }

    const double rowHeight = rowHeightFor(m_fontSize);
    for (size_t r = 0; r < m_rows.size(); ++r) {
        worksheet_set_row(sheet, lxw_row_t(r), rowHeight, nullptr);
        for (size_t c = 0; c < m_rows[r].size(); ++c) {
            const Cell &cell = m_rows[r][c];
            if (!cell.written)
                continue;
            if (cell.text.isEmpty())
                worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c), formats(cell.edges));
            else
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cell.text.toUtf8().constData(),
                                       formats(cell.edges));
        }
    }

    std::vector<lxw_row_t> breaks;
    for (int row : m_pageBreaks)
        breaks.push_back(lxw_row_t(row - 1));
    breaks.push_back(0); // ends the list
    worksheet_set_h_pagebreaks(sheet, breaks.data());

    worksheet_set_paper(sheet, kA4Paper);
    worksheet_set_portrait(sheet);
    worksheet_set_print_scale(sheet, uint16_t(m_pageSetup.zoom));
    if (m_pageSetup.centerHorizontally)
        worksheet_center_horizontally(sheet);
    if (m_pageSetup.centerVertically)
        worksheet_center_vertically(sheet);
    if (!m_pageSetup.header.isEmpty())
        worksheet_set_header(sheet, m_pageSetup.header.toUtf8().constData());
    if (!m_pageSetup.footer.isEmpty())
        worksheet_set_footer(sheet, m_pageSetup.footer.toUtf8().constData());

    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR) {
        *error = QString::fromUtf8(lxw_strerror(result));
        return false;
    }
    return true;
}
