#pragma once

#include "core/play_queue.h"

#include <optional>
#include <vector>

class Database;

// The play queue as kept in the catalogue file (table play_queue), so that the jukebox starts
// after a crash or a power cut with the queue it had. Both calls throw DatabaseError.
namespace QueueStore {

struct Kept
{
    std::vector<QueueRow> rows; // in playing order
    qint64 lastId = 0;          // the highest id ever given
};

Kept load(Database &db);
// load, tried again after a short wait when it fails (another program writing, say); nullopt
// when the kept queue cannot be read at all. Throws nothing.
std::optional<Kept> loadRetrying(Database &db, int tries = 5, int waitMs = 200);

// Makes the kept queue equal to rows in one transaction, writing only the rows that differ
// from stored (what the table holds now).
void write(Database &db, const std::vector<QueueRow> &stored, const std::vector<QueueRow> &rows);
// Makes the kept queue equal to rows when what the table holds is unknown (it could not be read):
// every row there goes, so none comes back later.
void rewrite(Database &db, const std::vector<QueueRow> &rows);

} // namespace QueueStore
