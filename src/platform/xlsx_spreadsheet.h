#pragma once

#include "platform/spreadsheet.h"

#include <QString>

#include <vector>

// A workbook written as .xlsx with libxlsxwriter. The library writes each cell once with its
// whole format, so the sheet is kept here until saveAs() and written in one go; column widths
// are measured from the texts, since the file format has no automatic fitting.
class XlsxSpreadsheet : public Spreadsheet
{
public:
    void setCell(int row, int column, const QString &text) override;
    void setGridBorders(int firstRow, int firstColumn, int lastRow, int lastColumn) override;
    bool addPageBreakBefore(int row) override;
    void setFont(const QString &name, double points) override;
    void autoFitColumns(int firstColumn, int lastColumn) override;
    void setPageSetup(const PageSetup &setup) override;
    bool saveAs(const QString &path, QString *error) override;

    // Width of a column holding text, in the file's unit (widths of the digit "0" of the
    // default font), for the given font size.
    static double columnWidthFor(const QString &text, double points);

    // Border line of one edge of a cell.
    enum class Line : unsigned char { None, Thin, Medium };
    struct Edges
    {
        Line left = Line::None;
        Line top = Line::None;
        Line right = Line::None;
        Line bottom = Line::None;
        bool operator==(const Edges &) const = default;
    };
    struct Cell
    {
        QString text;
        Edges edges;
        bool written = false; // holds text or a border
    };

private:
    Cell &cell(int row, int column);
    bool write(const QString &path, QString *error) const;

    std::vector<std::vector<Cell>> m_rows; // [row - 1][column - 1]
    std::vector<int> m_pageBreaks;         // rows with a break above them
    std::vector<int> m_fittedColumns;
    QString m_fontName = QStringLiteral("Calibri");
    double m_fontSize = 11;
    PageSetup m_pageSetup;
};

class XlsxSpreadsheetFactory : public SpreadsheetFactory
{
public:
    std::unique_ptr<Spreadsheet> create() override { return std::make_unique<XlsxSpreadsheet>(); }
};
