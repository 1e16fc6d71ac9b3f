#include "core/result_table.h"

namespace {
const ListRow kEmptyRow;
}

ResultTable::ResultTable(int capacity)
    : m_capacity(capacity)
{
}

const ListRow &ResultTable::row(qint64 index) const
{
    if (index < 0 || index >= qint64(m_rows.size()))
        return kEmptyRow;
    return m_rows[size_t(index)];
}

void ResultTable::clear()
{
    m_rows.clear();
}

bool ResultTable::append(ListRow row)
{
    if (count() >= m_capacity)
        return false;
    m_rows.push_back(std::move(row));
    return true;
}
