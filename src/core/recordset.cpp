#include "core/recordset.h"

Recordset::Recordset(QStringList fieldNames, std::vector<Cell> cells, QByteArray buffer)
    : m_fieldNames(std::move(fieldNames))
    , m_cells(std::move(cells))
    , m_buffer(std::move(buffer))
    , m_rowCount(m_fieldNames.isEmpty() ? 0 : int(m_cells.size() / size_t(m_fieldNames.size())))
{
}

void Recordset::moveNext()
{
    if (m_position < m_rowCount)
        ++m_position;
}

void Recordset::close()
{
    m_closed = true;
    m_cells.clear();
    m_buffer.clear();
    m_rowCount = 0;
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fieldNames.size(); ++i) {
        if (m_fieldNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Recordset::field(const QString &name) const
{
    return value(fieldIndex(name));
}

QVariant Recordset::value(int column) const
{
    if (eof() || m_position < 0 || column < 0 || column >= m_fieldNames.size())
        return {};
    const Cell &cell = m_cells[size_t(m_position) * size_t(m_fieldNames.size()) + size_t(column)];
    switch (cell.type) {
    case CellType::Integer:
        return QVariant(cell.integer);
    case CellType::Real:
        return QVariant(cell.real);
    case CellType::Text:
        return QString::fromUtf8(m_buffer.constData() + cell.offset, cell.size);
    case CellType::Blob:
        return m_buffer.mid(cell.offset, cell.size);
    case CellType::Null:
        break;
    }
    return {};
}
