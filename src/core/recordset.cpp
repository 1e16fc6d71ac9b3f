#include "recordset.h"

namespace {
const QVariant kNoValue;
}

Recordset::Recordset(QStringList fieldNames, std::vector<QVariant> cells)
    : m_fieldNames(std::move(fieldNames))
    , m_cells(std::move(cells))
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

const QVariant &Recordset::value(int column) const
{
    if (eof() || m_position < 0 || column < 0 || column >= m_fieldNames.size())
        return kNoValue;
    return m_cells[size_t(m_position) * size_t(m_fieldNames.size()) + size_t(column)];
}
