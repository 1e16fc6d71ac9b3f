#pragma once

#include "core/result_table.h"

#include <functional>
#include <list>
#include <memory>
#include <vector>

// Who ordered a song from a phone: the name the guest gave and the phone's own id. Songs
// ordered at the keypad have neither.
struct Orderer
{
    QString name;
    QString phone;
};

// A queued song: its number and the text the lists show, with what the phone page and the
// "next up" card show besides, and an id that names it for as long as it is queued.
struct QueueRow : ListRow
{
    QueueRow() = default;
    explicit QueueRow(ListRow row)
        : ListRow(std::move(row))
    {
    }

    qint64 id = 0;
    QString title;
    QString singer;
    Orderer by;
};

// The play queue: the songs the guests ordered, in playing order. Row 0 is the song playing
// or next to play; the rows are packed and the first empty row ends the queue. It holds at
// most kCapacity songs. Every change raises the revision and is told to the subscribers
// (the copy kept on disk, the phone page, an open queue list).
class PlayQueue
{
public:
    static constexpr int kCapacity = 5001;

    PlayQueue();
    ~PlayQueue();
    PlayQueue(const PlayQueue &) = delete;
    PlayQueue &operator=(const PlayQueue &) = delete;
    PlayQueue(PlayQueue &&) noexcept;
    PlayQueue &operator=(PlayQueue &&) noexcept;

    const QueueRow &row(qint64 index) const;
    const std::vector<QueueRow> &rows() const { return m_rows; }
    QString head() const { return row(0).key; }
    bool isEmpty() const { return m_rows.empty(); }
    bool isFull() const { return length() >= kCapacity; }
    int length() const { return int(m_rows.size()); }
    // The row of the song with that id, or -1 when it is no longer queued.
    qint64 indexOf(qint64 id) const;
    quint64 revision() const { return m_revision; }

    // Adds a song after the last one under a new id; the row used, or -1 when the queue is full.
    int append(QueueRow row);
    int append(ListRow row);
    // Drops row k; the rows after it move up by one. An empty row changes nothing.
    void removeAt(qint64 k);
    // Puts row k first under a new text; the rows before it move down by one.
    void moveToHead(qint64 k, const QString &text) { moveForward(k, 0, text); }
    // Puts row k at row target (before it) under a new text; the rows between move down by one.
    void moveForward(qint64 k, qint64 target, const QString &text);
    void clear();
    // The queue as it was kept before the program stopped; new ids follow lastId and the rows' own.
    void restore(std::vector<QueueRow> rows, qint64 lastId = 0);

    // Calls onChange after every change for as long as the returned object lives.
    class Subscription;
    [[nodiscard]] std::unique_ptr<Subscription> subscribe(std::function<void()> onChange);

private:
    void changed();

    std::vector<QueueRow> m_rows;
    qint64 m_lastId = 0;
    quint64 m_revision = 0;
    std::shared_ptr<std::list<std::function<void()>>> m_subscribers;
};

class PlayQueue::Subscription
{
public:
    Subscription(std::weak_ptr<std::list<std::function<void()>>> list,
                 std::list<std::function<void()>>::iterator entry);
    ~Subscription();
    Subscription(const Subscription &) = delete;
    Subscription &operator=(const Subscription &) = delete;

private:
    std::weak_ptr<std::list<std::function<void()>>> m_list;
    std::list<std::function<void()>>::iterator m_entry;
};
