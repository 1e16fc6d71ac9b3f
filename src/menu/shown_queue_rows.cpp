#include "menu/shown_queue_rows.h"

#include "core/play_queue.h"

void ShownQueueRows::drawn(const PlayQueue &queue, qint64 firstRow, int lines)
{
    m_ids.assign(size_t(lines), 0);
    for (int i = 0; i < lines && firstRow + i < queue.length(); ++i)
        m_ids[size_t(i)] = queue.row(firstRow + i).id;
}

qint64 ShownQueueRows::idOn(qint64 line) const
{
    return line >= 1 && line <= qint64(m_ids.size()) ? m_ids[size_t(line - 1)] : 0;
}

qint64 ShownQueueRows::rowNow(const PlayQueue &queue, qint64 line) const
{
    const qint64 id = idOn(line);
    return id == 0 ? -1 : queue.indexOf(id);
}
