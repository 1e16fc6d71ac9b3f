#pragma once

#include <QString>

#include <memory>

// A new workbook of one worksheet, filled and laid out for printing, then saved or dropped.
// Rows and columns are numbered from 1 as the sheet shows them.
class Spreadsheet
{
public:
    struct PageSetup
    {
        int zoom = 100; // print scale, per cent
        bool centerHorizontally = false;
        bool centerVertically = false;
        QString header; // the spreadsheet's own codes: &P page number, &N page count
        QString footer;
    };

    virtual ~Spreadsheet() = default;

    virtual void setCell(int row, int column, const QString &text) = 0;
    // Grid of the range: medium outer edges, thin inner lines, no diagonals.
    virtual void setGridBorders(int firstRow, int firstColumn, int lastRow, int lastColumn) = 0;
    // A manual page break above the row; false when the sheet holds no more breaks, and the
    // rows below then run on without one.
    virtual bool addPageBreakBefore(int row) = 0;
    // Font of every cell of the sheet.
    virtual void setFont(const QString &name, double points) = 0;
    // The columns become wide enough for their longest text.
    virtual void autoFitColumns(int firstColumn, int lastColumn) = 0;
    virtual void setPageSetup(const PageSetup &setup) = 0;
    // Writes the workbook to path, replacing a file there only once the new one is complete.
    // False with the reason in *error when it cannot be written.
    virtual bool saveAs(const QString &path, QString *error) = 0;
};

// Makes the new workbooks.
class SpreadsheetFactory
{
public:
    virtual ~SpreadsheetFactory() = default;
    virtual std::unique_ptr<Spreadsheet> create() = 0;
};
