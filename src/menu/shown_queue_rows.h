#pragma once

#include <QtGlobal>

#include <vector>

class PlayQueue;

// The songs a keypad list of the queue showed on each line when it was drawn. A phone may
// delete or move a song while the guest types a line number: the number still names the song
// that was shown under it, never one that moved into that row since.
class ShownQueueRows
{
public:
    // The page now drawn: lines rows of queue from firstRow.
    void drawn(const PlayQueue &queue, qint64 firstRow, int lines);
    // The id of the song drawn on line (from 1), 0 for a line drawn empty.
    qint64 idOn(qint64 line) const;
    // The row now of the song drawn on line: -1 when it has left the queue or the line was empty.
    qint64 rowNow(const PlayQueue &queue, qint64 line) const;

private:
    std::vector<qint64> m_ids;
};
