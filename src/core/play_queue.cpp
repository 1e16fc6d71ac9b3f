#include "core/play_queue.h"

namespace {
const ListRow kEmptyRow;
}

const ListRow &PlayQueue::row(qint64 index) const
{
    if (index < 0 || index >= qint64(m_rows.size()))
        return kEmptyRow;
    return m_rows[size_t(index)];
}

int PlayQueue::append(ListRow row)
{
    if (isFull() || row.key.isEmpty())
        return -1;
    m_rows.push_back(std::move(row));
    return length() - 1;
}

void PlayQueue::removeAt(qint64 k)
{
    if (k < 0 || k >= qint64(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + k);
}

void PlayQueue::moveForward(qint64 k, qint64 target, const QString &text)
{
    if (k < 0 || k >= qint64(m_rows.size()) || target < 0 || target > k)
        return;
    ListRow moved{m_rows[size_t(k)].key, text};
    m_rows.erase(m_rows.begin() + k);
    m_rows.insert(m_rows.begin() + target, std::move(moved));
}
