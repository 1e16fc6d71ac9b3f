#pragma once

#include "core/play_queue.h"

#include <QString>

#include <map>
#include <vector>

// Fair turns (FairTurns = 1): every orderer's songs of the last hour, those sung and those
// queued, the song playing among them, are that orderer's turns 1, 2, 3 ... A new order takes the
// orderer's next turn and goes behind every queued song of that turn or an earlier one, so
// nobody who sang less waits behind someone who sang more. The keypad is one orderer; the song
// playing (row 0) and songs cut in right after it keep their places.
namespace FairTurns {

// Who a row counts for: the ordering phone's id, empty for the keypad.
QString ordererOf(const QueueRow &row);

// The row a new order of orderer goes to in rows (the queue without it), given how many songs
// each orderer started in the last hour that have left the queue.
qint64 rowFor(const std::vector<QueueRow> &rows, const std::map<QString, int> &playedLastHour, const QString &orderer);

} // namespace FairTurns
