#pragma once

#include "core/result_table.h"

#include <vector>

// The play queue: the songs the guests ordered, in playing order. Row 0 is the song playing
// or next to play; the rows are packed and the first empty row ends the queue. It holds at
// most kCapacity songs and lives only as long as the program runs.
class PlayQueue
{
public:
    static constexpr int kCapacity = 5001;

    const ListRow &row(qint64 index) const;
    QString head() const { return row(0).key; }
    bool isEmpty() const { return m_rows.empty(); }
    bool isFull() const { return length() >= kCapacity; }
    int length() const { return int(m_rows.size()); }

    // Adds a song after the last one; the row used, or -1 when the queue is full.
    int append(ListRow row);
    // Drops row k; the rows after it move up by one. An empty row changes nothing.
    void removeAt(qint64 k);
    // Puts row k first under a new text; the rows before it move down by one.
    void moveToHead(qint64 k, const QString &text) { moveForward(k, 0, text); }
    // Puts row k at row target (before it) under a new text; the rows between move down by one.
    void moveForward(qint64 k, qint64 target, const QString &text);
    void clear() { m_rows.clear(); }

private:
    std::vector<ListRow> m_rows;
};
