#include "core/play_queue.h"

#include <algorithm>

namespace {
const QueueRow kEmptyRow;
}

PlayQueue::PlayQueue()
    : m_subscribers(std::make_shared<std::list<std::function<void()>>>())
{
}

PlayQueue::~PlayQueue() = default;
PlayQueue::PlayQueue(PlayQueue &&) noexcept = default;
PlayQueue &PlayQueue::operator=(PlayQueue &&) noexcept = default;

const QueueRow &PlayQueue::row(qint64 index) const
{
    if (index < 0 || index >= qint64(m_rows.size()))
        return kEmptyRow;
    return m_rows[size_t(index)];
}

qint64 PlayQueue::indexOf(qint64 id) const
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [id](const QueueRow &r) { return r.id == id; });
    return found == m_rows.end() ? -1 : found - m_rows.begin();
}

int PlayQueue::append(QueueRow row)
{
    if (isFull() || row.key.isEmpty())
        return -1;
    row.id = ++m_lastId;
    m_rows.push_back(std::move(row));
    changed();
    return length() - 1;
}

int PlayQueue::append(ListRow row)
{
    return append(QueueRow(std::move(row)));
}

void PlayQueue::removeAt(qint64 k)
{
    if (k < 0 || k >= qint64(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + k);
    changed();
}

void PlayQueue::moveForward(qint64 k, qint64 target, const QString &text)
{
    if (k < 0 || k >= qint64(m_rows.size()) || target < 0 || target > k)
        return;
    QueueRow moved = std::move(m_rows[size_t(k)]);
    moved.text = text;
    m_rows.erase(m_rows.begin() + k);
    m_rows.insert(m_rows.begin() + target, std::move(moved));
    changed();
}

void PlayQueue::clear()
{
    m_rows.clear();
    changed();
}

void PlayQueue::restore(std::vector<QueueRow> rows, qint64 lastId)
{
    m_rows = std::move(rows);
    m_lastId = std::max(m_lastId, lastId);
    if (m_rows.size() > size_t(kCapacity))
        m_rows.resize(size_t(kCapacity));
    for (const QueueRow &r : m_rows)
        m_lastId = std::max(m_lastId, r.id);
    changed();
}

std::unique_ptr<PlayQueue::Subscription> PlayQueue::subscribe(std::function<void()> onChange)
{
    m_subscribers->push_back(std::move(onChange));
    return std::make_unique<Subscription>(m_subscribers, std::prev(m_subscribers->end()));
}

void PlayQueue::changed()
{
    ++m_revision;
    // A subscriber may subscribe or leave while being told; the others are told all the same.
    const std::list<std::function<void()>> subscribers = *m_subscribers;
    for (const std::function<void()> &tell : subscribers)
        tell();
}

PlayQueue::Subscription::Subscription(std::weak_ptr<std::list<std::function<void()>>> list,
                                      std::list<std::function<void()>>::iterator entry)
    : m_list(std::move(list))
    , m_entry(entry)
{
}

PlayQueue::Subscription::~Subscription()
{
    if (const auto list = m_list.lock())
        list->erase(m_entry);
}
