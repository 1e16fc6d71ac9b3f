#pragma once

#include <QHash>
#include <QList>
#include <QString>

// What a written .xlsx file holds, read back by unzipping it: the first sheet's cells with the
// shared strings resolved, each cell's border lines and font, the page breaks, the page setup,
// the header and footer and the column widths.
class XlsxReader
{
public:
    explicit XlsxReader(const QString &path);

    // Empty when the file could not be read; otherwise the names of the parts read.
    QString problem() const { return m_problem; }
    // Text of a cell such as "B27"; empty for a blank or missing cell.
    QString text(const QString &cell) const;
    bool hasCell(const QString &cell) const { return m_cells.contains(cell); }
    // Border styles of a cell as "left top right bottom", "none" for no line: "medium thin thin thin".
    QString borders(const QString &cell) const;
    // Font of a cell as "name size".
    QString font(const QString &cell) const;
    // The rows (1-based) below each manual horizontal page break.
    QList<int> breaksBefore() const { return m_breaksBefore; }
    QString header() const { return m_header; }
    QString footer() const { return m_footer; }
    // Attributes of <pageSetup> and <printOptions>: "scale", "paperSize", "horizontalCentered" ...
    QString pageSetup(const QString &attribute) const { return m_pageSetup.value(attribute); }
    double columnWidth(int column) const { return m_columnWidths.value(column); }
    // The sheet's last row that holds a cell.
    int lastRow() const { return m_lastRow; }

private:
    struct Cell
    {
        QString text;
        int style = 0;
    };
    void readStyles(const QByteArray &xml);
    void readSheet(const QByteArray &xml, const QStringList &sharedStrings);

    QString m_problem;
    QHash<QString, Cell> m_cells;
    QList<QString> m_styleBorders; // by style index
    QList<QString> m_styleFonts;
    QList<int> m_breaksBefore;
    QString m_header;
    QString m_footer;
    QHash<QString, QString> m_pageSetup;
    QHash<int, double> m_columnWidths;
    int m_lastRow = 0;
};
