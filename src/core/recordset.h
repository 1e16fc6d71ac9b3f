#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariant>

#include <vector>

// The rows of one query, all read at once: fields by name, record count, a cursor that moves
// first and next, end-of-file and beginning-of-file tests. Texts are kept as the catalogue
// stores them (UTF-8, in one buffer) and become QStrings only when a field is read.
class Recordset
{
public:
    enum class CellType : unsigned char { Null, Integer, Real, Text, Blob };
    struct Cell
    {
        qint64 integer = 0;
        double real = 0;
        qsizetype offset = 0; // of text and blob bytes in the buffer
        qsizetype size = 0;
        CellType type = CellType::Null;
    };

    Recordset() = default;
    Recordset(QStringList fieldNames, std::vector<Cell> cells, QByteArray buffer);

    int recordCount() const { return m_rowCount; }
    bool eof() const { return m_closed || m_position >= m_rowCount; }
    bool bof() const { return m_closed || m_rowCount == 0 || m_position < 0; }
    void moveFirst() { m_position = 0; }
    void moveNext();
    void close();

    // Field of the current record; an invalid value at EOF or for an unknown name.
    QVariant field(const QString &name) const;
    QString text(const QString &name) const { return field(name).toString(); }
    int fieldIndex(const QString &name) const;
    // Field by column number, for loops that look the index up once.
    QVariant value(int column) const;

private:
    QStringList m_fieldNames;
    std::vector<Cell> m_cells;
    QByteArray m_buffer;
    int m_rowCount = 0;
    int m_position = 0;
    bool m_closed = false;
};
